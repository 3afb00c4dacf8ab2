#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** A clip indicator: lit while its engine meter reads full scale or more. The editor's timer sets
    `lit` and repaints the lamp when it changes. Message thread only. */
class ClipLamp : public juce::Component
{
public:
    ClipLamp() = default;

    /** Fills the lamp with `litColour` while lit, and draws nothing otherwise (message thread). */
    void paint (juce::Graphics& g) override;

    bool lit = false;
    juce::Colour litColour { 0xffe0362b };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ClipLamp)
};

} // namespace OSK
