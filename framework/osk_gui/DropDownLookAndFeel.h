#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** The look of a DropDown: the box shows only its centred text over the panel, and the popup is
    a plain light list of 25-pixel items in the interface font. Message thread only. */
class DropDownLookAndFeel : public juce::LookAndFeel_V4
{
public:
    /** Creates the interface typeface the look draws with (message thread). */
    DropDownLookAndFeel();

    /** Fills the whole popup with 0xffdbd9d7 (message thread). */
    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;

    /** Draws one item: its background (0xff9c9b99 when highlighted) and its text in black, inset
        10 pixels from the left; ticks, separators, arrows, icons and shortcuts are not drawn (message thread). */
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;

    /** The interface typeface at height 16 (message thread). */
    juce::Font getPopupMenuFont() override;

    /** Every item is 115 x 25 (message thread). */
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                    int& idealWidth, int& idealHeight) override;

    /** Draws nothing: the panel provides the box (message thread). */
    void drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox& box) override;

    /** The popup font (message thread). */
    juce::Font getComboBoxFont (juce::ComboBox& box) override;

    /** Lays the text label over the whole box, centred, in the popup font (message thread). */
    void positionComboBoxText (juce::ComboBox& box, juce::Label& label) override;

private:
    // Created once: making a typeface from the font's bytes for every drawn item would be slow.
    juce::Typeface::Ptr typeface;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DropDownLookAndFeel)
};

} // namespace OSK
