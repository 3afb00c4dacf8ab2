#pragma once

#include "osk_gui/Meter.h"

namespace OSK
{
/** A pointer meter, 110 x 15: a pointer that slides over a background strip, its left edge one
    pixel left of the value's position. The pointer strip is stored at twice the drawn size and may
    hold several frames side by side; with three frames the meter picks one from the value (the
    correlation meter's red, amber and green pointers). Message thread only. */
class HorizontalMeter : public Meter
{
public:
    /** Loads the pointer and background pictures by resource name from the product's table and
        places the meter at the rectangle's position, 110 x 15 (message thread). */
    HorizontalMeter (const juce::String& pointerImageName, const juce::String& backgroundImageName, juce::Rectangle<int> position);

    /** With three frames, picks the pointer frame from the value (2 below 0.1, 1 below 0.5, else
        0); then stores the value as every meter does (message thread). */
    void setValue (double newValue) override;

    /** Draws the background, then the pointer at the value (message thread). */
    void paint (juce::Graphics& g) override;

    juce::Image pointerImage;
    juce::Image backgroundImage;
    float frameWidth = 0.0f;  ///< one pointer frame in the stored picture
    float frameHeight = 0.0f;
    int frameIndex = 0;
    int frameCount = 1;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HorizontalMeter)
};

} // namespace OSK
