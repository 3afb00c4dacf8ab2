#pragma once

#include "osk_gui/KnobLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace OSK
{
/** A rotary control drawn from a film strip of 101 frames stacked top to bottom (optionally in
    several columns side by side), with an optional caption over the knob and a value box below
    it. The frame follows the value linearly between the range ends, whatever skew the range has.
    Message thread only. */
class Knob : public juce::Slider
{
public:
    /** Loads the film strip by resource name from the product's table and places the knob at
        (x, y) with the size 72 x 72 (message thread). */
    Knob (const juce::String& resourceName, int x, int y);

    /** Uninstalls the knob's own look before it is destroyed (message thread). */
    ~Knob() override;

    /** Runs the right-button hook, if any, then the slider's own handling (message thread). */
    void mouseDown (const juce::MouseEvent& event) override;

    /** Runs the right-button hook, if any, then the slider's own handling (message thread). */
    void mouseUp (const juce::MouseEvent& event) override;

    /** Draws the frame for the current value and the caption over it (message thread). */
    void paint (juce::Graphics& g) override;

    /** Returns the proposed value unchanged, or its entry in the snap table when snapping is on (message thread). */
    double snapValue (double attemptedValue, DragMode dragMode) override;

    juce::Image filmStrip;
    int numFrames = 101;
    int numColumns = 1;
    int column = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    int drawWidth = 72;
    int drawHeight = 72;
    juce::String label;
    const juce::Font* labelFont = nullptr; ///< not owned; the product editor owns the font
    juce::Colour labelColour { 0xff8a8a8a };
    int labelX = 0;
    int labelY = 0;
    std::unique_ptr<KnobLookAndFeel> lookAndFeel;
    std::function<void()> onRightMouseDown;
    std::function<void()> onRightMouseUp;
    bool snapEnabled = false;
    juce::Array<double> snapThresholds;
    juce::Array<double> snapValues;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Knob)
};

} // namespace OSK
