#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace OSK
{
/** An on/off switch drawn from two frames stacked top to bottom: unlit on top, lit below.
    Clicking toggles it. Message thread only. */
class Toggle : public juce::ToggleButton
{
public:
    /** Loads the two-frame image by resource name from the product's table (message thread). */
    explicit Toggle (const juce::String& resourceName);

    /** Runs the double-click hook, if any; the second click then acts as an ordinary press (message thread). */
    void mouseDoubleClick (const juce::MouseEvent& event) override;

    /** Draws the top frame when the state differs from `inverted`, otherwise the bottom frame (message thread). */
    void paint (juce::Graphics& g) override;

    bool inverted = false;
    std::function<void()> onDoubleClick;
    juce::Image image;
    int frameWidth = 0;
    int frameHeight = 0;
    int column = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Toggle)
};

} // namespace OSK
