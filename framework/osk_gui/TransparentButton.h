#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** An invisible click area, e.g. over the logo printed on the panel. Message thread only. */
class TransparentButton : public juce::Button
{
public:
    /** An invisible button named "TransparentButton" (message thread). */
    TransparentButton();

    /** Draws nothing: the panel behind shows through (message thread). */
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TransparentButton)
};

} // namespace OSK
