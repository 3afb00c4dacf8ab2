#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** The look of one knob: a slider area covering the whole component, so the circular drag mode
    turns around the centre of the 72 x 91 knob, and an editable value box (0, 76, 72, 15) in
    black on the panel. Message thread only. */
class KnobLookAndFeel : public juce::LookAndFeel_V4
{
public:
    /** Uses the given font, owned by the caller, for the value box (message thread). */
    explicit KnobLookAndFeel (const juce::Font* valueFont);

    /** Creates the value box: a centred black CustomLabel in the look's font (message thread). */
    juce::Label* createSliderTextBox (juce::Slider& slider) override;

    /** Slider area = the whole component; value box = (0, textBoxY, width, textBoxHeight) (message thread). */
    juce::Slider::SliderLayout getSliderLayout (juce::Slider& slider) override;

    int textBoxY = 76;
    int textBoxHeight = 15;
    const juce::Font* font = nullptr; ///< not owned

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KnobLookAndFeel)
};

} // namespace OSK
