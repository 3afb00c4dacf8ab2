#pragma once

#include "osk_gui/BaseEditor.h"
#include "osk_gui/VerticalMeter.h"
#include "plugin/KelvaneProcessor.h"

#include <memory>

namespace OSK
{
/** The Kelvane panel: every control of the mastering chain at its place on the background, bound
    to its parameter by ID (25 knobs, 30 switches, the meter-scale list), the engine's 17 meters
    with the K-scale picture that the scale list switches, and the value labels of the output
    meters. The user's settings are applied once the knobs exist. Message thread only. */
class KelvaneEditor : public BaseEditor
{
public:
    /** Builds the whole panel on the product's processor and applies the user's settings (message thread). */
    explicit KelvaneEditor (KelvaneProcessor& processorToEdit);

    /** Detaches the value labels from their meters before they go (message thread). */
    ~KelvaneEditor() override;

    juce::Font meterLabelFont;
    juce::Font knobLabelFont;
    juce::Font knobValueFont;
    std::unique_ptr<juce::Label> peakLabelLeft;
    std::unique_ptr<juce::Label> peakLabelRight;
    std::unique_ptr<juce::Label> rmsLabelLeft;
    std::unique_ptr<juce::Label> rmsLabelRight;
    VerticalMeter* rmsMeterLeft = nullptr;  ///< meter 13, owned by the base's registry
    VerticalMeter* rmsMeterRight = nullptr; ///< meter 14, owned by the base's registry
    std::unique_ptr<juce::ImageComponent> meterScale;

private:
    /** Builds the fonts from one typeface, created once for the three of them; the fonts keep it alive. */
    KelvaneEditor (KelvaneProcessor& processorToEdit, const juce::Typeface::Ptr& typeface);

    /** A captioned knob with its value box at (x, y), bound to the parameter. */
    void createKnob (const juce::String& filmStrip, int x, int y, const juce::String& caption, int parameter);

    /** A 12 x 12 switch at (x, y), yellow or red, lit while its parameter is on. */
    void createToggle (int x, int y, bool yellow, int parameter);

    /** One equaliser row: first-channel knob, bypass, link and bypass switches, second-channel knob. */
    void createEqGroup (int y, const juce::String& caption, int midGain, int midBypass, int sideGain, int sideBypass,
                        int link, int linkOffset);

    /** A value label under the output meters at x, showing "--". */
    [[nodiscard]] std::unique_ptr<juce::Label> createLabel (int x);

    /** Creates the meters of the given engine indices at their places and registers them. */
    void createMeters (std::initializer_list<int> meterIndices);

    /** The K-scale list, bound to "MetSwi". */
    void createMeterScaleList();

    /** Lets a meter show its value on the label, which keeps its "--" until the value changes. */
    void attachLabel (juce::Label& label, int meterIndex);

    /** Shows the scale of a "MetSwi" choice (0, 1, 2) on the scale picture and the RMS meters. */
    void showMeterScale (float scaleChoice);

    /** The ID of a product parameter, e.g. "CompRtio" for CompRtio. */
    [[nodiscard]] const juce::String& parameterId (int parameter) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvaneEditor)
};

} // namespace OSK
