#pragma once

#include "osk_base_processor/BaseProcessor.h"
#include "plugin/KelvaneParameters.h"

#include <array>
#include <memory>

namespace OSK
{
class KelvaneDsp;

/** The Kelvane processor: the 56 parameters, three host gain-reduction meters, the links that
    couple the equaliser's first- and second-channel bands, and the stereo-only bus rule. */
class KelvaneProcessor : public BaseProcessor
{
public:
    KelvaneProcessor();
    ~KelvaneProcessor() override;

    void createParameters() override;

    /** Appends the six factory programs. */
    void createPresets() override;

    /** Switches a band's links when its link switch reaches the engine (audio thread). */
    void parameterChanged (int index, float value) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** Creates the product's editor, KelvaneEditor, when the host opens the window (message thread). */
    juce::AudioProcessorEditor* createEditor() override;

    /** The engine (for the editor's meters and for tests). */
    [[nodiscard]] KelvaneDsp& getEngine() noexcept { return *engine; }

    /** A band's gain link (Relative) and bypass link (Absolute). */
    struct BandLinkPair
    {
        std::unique_ptr<ParameterLink> gain;
        std::unique_ptr<ParameterLink> bypass;
    };

    std::array<BandLinkPair, numKelvaneBandLinks> bandLinks;

private:
    void registerParameter (int index);
    void createBandLinks (int band);

    std::unique_ptr<KelvaneDsp> engine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvaneProcessor)
};

} // namespace OSK
