#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace KelvaneScreenshot
{
/** A still picture of a meter at a fixed value, drawn from the meter images the way the editor's
    meters draw them: a bar reveals its lit image over the unlit one, a pointer slides over its
    face. Message thread only. */
class PreviewMeter : public juce::Component
{
public:
    enum class Kind
    {
        bar,         ///< lit part grows from the bottom
        barFromTop,  ///< lit part grows from the top (gain reduction)
        pointer      ///< a pointer over a face, 110 x 15
    };

    /** A meter drawn from two product images (lit and unlit, or pointer and face) at a value 0..1. */
    PreviewMeter (Kind kind, const juce::String& onImageName, const juce::String& offImageName, double value);

    /** Draws the meter at its value. */
    void paint (juce::Graphics& g) override;

    int frameIndex = 0; ///< column of the lit image, or frame of the pointer strip
    int frameCount = 1; ///< frames in the pointer strip

private:
    Kind kind;
    juce::Image onImage, offImage;
    double value;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreviewMeter)
};

} // namespace KelvaneScreenshot
