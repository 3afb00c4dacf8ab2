#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** A button drawn from frames stacked top to bottom: `upFrame` while it is not held down,
    `downFrame` while it is. Message thread only. */
class ImageButton : public juce::Button
{
public:
    /** Takes the image as a single frame; the bounds start empty (message thread). */
    explicit ImageButton (const juce::Image& newImage);

    /** Replaces the image, cuts it into `frames` frames stacked top to bottom and repaints (message thread). */
    void setImage (const juce::Image& newImage, int frames);

    /** Draws the up or down frame into the whole button; the highlight is ignored (message thread). */
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    int upFrame = 0;
    int downFrame = 1;
    juce::Image image;
    int numFrames = 1;
    int frameWidth = 0;
    int frameHeight = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ImageButton)
};

} // namespace OSK
