#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace OSK
{
/** A meter widget: a display value between 0 and 1, drawn by a subclass from embedded images, and
    an optional label that shows the value as text. The editor's timer feeds it the engine's meter
    value; an unchanged value costs neither a repaint nor a relabel. Message thread only. */
class Meter : public juce::Component
{
public:
    Meter() = default;

    /** Drawing is the subclass's (message thread). */
    void paint (juce::Graphics& g) override = 0;

    /** Stores the value limited to 0..1; when that differs from the stored value, updates the label
        and repaints, otherwise does nothing (message thread). */
    virtual void setValue (double newValue);

    /** Optional: turns the value into the label's text; without it the label shows the value's
        default decimal text. */
    std::function<juce::String (double)> valueToText;

    /** Optional label that shows the value; not owned by the meter. */
    juce::Label* label = nullptr;

    /** The display value, always within 0..1. */
    double value = 0.0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Meter)
};

} // namespace OSK
