#pragma once

#include "PreviewMeter.h"
#include "osk_gui/BaseEditor.h"
#include "plugin/KelvaneProcessor.h"

namespace KelvaneScreenshot
{
/** The base editor with the product's controls placed where the product panel has them: every
    knob with its caption and value box, every switch, the meter-scale list, and still pictures of
    the meters, the K-scale and the meter value labels. It shows how the artwork and the controls
    line up. Message thread only. */
class PreviewEditor : public OSK::BaseEditor
{
public:
    /** Builds the whole panel on the product's processor. */
    explicit PreviewEditor (OSK::KelvaneProcessor& processorToShow);

    ~PreviewEditor() override;

private:
    void createKnob (const juce::String& strip, int x, int y, const juce::String& caption, int parameter);
    void createToggle (int x, int y, bool yellow, int parameter);
    void createEqGroup (int y, const juce::String& caption, int midGain, int midBypass, int sideGain, int sideBypass,
                        int link, int linkOffset);
    void createMeters (std::initializer_list<int> indices);
    void createLabel (int x);
    void createMeterScaleList();

    juce::Typeface::Ptr typeface;
    juce::Font meterLabelFont, knobLabelFont, knobValueFont;
    juce::OwnedArray<juce::Component> stillParts; // meters, scale picture and value labels

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreviewEditor)
};

} // namespace KelvaneScreenshot
