#pragma once

#include "osk_gui/Meter.h"

namespace OSK
{
/** A bar meter: a lit picture revealed over an unlit one in proportion to the value, growing up
    from the bottom edge or, for gain reduction, down from the top. The lit picture may hold several
    frames side by side, each as wide as the unlit one; `frameIndex` picks the one drawn. The
    revealed part always shows the matching part of the lit picture, not a squeezed copy.
    Message thread only. */
class VerticalMeter : public Meter
{
public:
    /** Loads the lit and unlit pictures by resource name from the product's table and takes the
        bounds (message thread). */
    VerticalMeter (const juce::String& onImageName, const juce::String& offImageName, juce::Rectangle<int> bounds);

    /** Draws the unlit picture, then the lit part for the value (message thread). */
    void paint (juce::Graphics& g) override;

    juce::Image onImage;
    juce::Image offImage;
    int frameWidth = 0;  ///< width of the unlit picture, and of one lit frame
    int frameHeight = 0; ///< height of the unlit picture
    bool fillFromTop = false;
    int frameIndex = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VerticalMeter)
};

} // namespace OSK
