#include "osk_gui/DropDownLookAndFeel.h"

#include "osk_gui/EmbeddedResources.h"

namespace OSK
{
namespace
{
    const juce::Colour itemColour { 0xffdbd9d7 };
    const juce::Colour highlightedItemColour { 0xff9c9b99 };
    constexpr int textInset = 10;
} // namespace

DropDownLookAndFeel::DropDownLookAndFeel()
    : typeface (EmbeddedResources::createInterfaceTypeface())
{
}

void DropDownLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (itemColour);
}

void DropDownLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool, bool,
                                             bool isHighlighted, bool, bool, const juce::String& text,
                                             const juce::String&, const juce::Drawable*, const juce::Colour*)
{
    g.setColour (isHighlighted ? highlightedItemColour : itemColour);
    g.fillRect (area);

    auto textArea = area;
    textArea.removeFromLeft (juce::jmin (textInset, textArea.getWidth()));

    g.setColour (juce::Colours::black);
    g.setFont (getPopupMenuFont());
    g.drawFittedText (text, textArea, juce::Justification::centredLeft, 1);
}

juce::Font DropDownLookAndFeel::getPopupMenuFont()
{
    return juce::Font (typeface).withHeight (16.0f);
}

void DropDownLookAndFeel::getIdealPopupMenuItemSize (const juce::String&, bool, int, int& idealWidth, int& idealHeight)
{
    idealWidth = 115;
    idealHeight = 25;
}

void DropDownLookAndFeel::drawComboBox (juce::Graphics&, int, int, bool, int, int, int, int, juce::ComboBox&)
{
}

juce::Font DropDownLookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return getPopupMenuFont();
}

void DropDownLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (0, 0, box.getWidth(), box.getHeight());
    label.setJustificationType (juce::Justification::centred);

    const auto font = getComboBoxFont (box);

    if (label.getFont() != font)
        label.setFont (font);
}

} // namespace OSK
