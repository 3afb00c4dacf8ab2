#include "osk_gui/KnobLookAndFeel.h"

#include "osk_gui/CustomLabel.h"

namespace OSK
{
KnobLookAndFeel::KnobLookAndFeel (const juce::Font* valueFont)
    : font (valueFont)
{
}

juce::Label* KnobLookAndFeel::createSliderTextBox (juce::Slider&)
{
    auto* box = new CustomLabel();

    if (font != nullptr)
        box->setFont (*font);

    box->setJustificationType (juce::Justification::centred);
    box->setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    box->setColour (juce::Label::textWhenEditingColourId, juce::Colour (0xff000000));
    box->setColour (juce::Label::outlineColourId, juce::Colour (0x00000000));
    box->setColour (juce::TextEditor::textColourId, juce::Colour (0xff000000));
    box->setColour (juce::TextEditor::highlightedTextColourId, juce::Colour (0xff000000));
    box->setColour (juce::TextEditor::outlineColourId, juce::Colour (0x00000000));
    box->setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0x00000000));
    box->setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffb4d7ff));
    return box;
}

juce::Slider::SliderLayout KnobLookAndFeel::getSliderLayout (juce::Slider& slider)
{
    juce::Slider::SliderLayout layout;
    layout.sliderBounds = slider.getLocalBounds();
    layout.textBoxBounds = { 0, textBoxY, slider.getWidth(), textBoxHeight };
    return layout;
}

} // namespace OSK
