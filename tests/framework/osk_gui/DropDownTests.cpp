// DropDown and its look: a bare text box over the panel and a plain light popup.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/DropDown.h"
#include "osk_gui/EmbeddedResources.h"

#include <gtest/gtest.h>

using KelvaneTest::countDifferentPixels;
using KelvaneTest::snapshot;

namespace
{
const juce::Colour itemBackground { 0xffdbd9d7 };
const juce::Colour highlightedBackground { 0xff9c9b99 };

juce::Image drawItem (OSK::DropDownLookAndFeel& look, const juce::String& text, bool highlighted)
{
    juce::Image image (juce::Image::ARGB, 115, 25, true);
    juce::Graphics g (image);
    const juce::Colour red (juce::Colours::red); // a text colour the look must ignore
    look.drawPopupMenuItem (g, image.getBounds(), false, true, highlighted, true, false, text, "Ctrl+K", nullptr, &red);
    return image;
}
} // namespace

TEST (DropDownLook, EveryItemIs115By25)
{
    OSK::DropDownLookAndFeel look;
    int width = 0, height = 0;

    for (auto separator : { false, true })
    {
        look.getIdealPopupMenuItemSize ("K-20", separator, 17, width, height);
        EXPECT_EQ (width, 115);
        EXPECT_EQ (height, 25);
    }
}

TEST (DropDownLook, ItemBackgroundsAreLightAndDarkerWhenHighlighted)
{
    OSK::DropDownLookAndFeel look;
    EXPECT_EQ (drawItem (look, "K-14", false).getPixelAt (2, 2), itemBackground);
    EXPECT_EQ (drawItem (look, "K-14", true).getPixelAt (2, 2), highlightedBackground);

    juce::Image popup (juce::Image::ARGB, 115, 80, true);
    {
        juce::Graphics g (popup);
        look.drawPopupMenuBackground (g, 115, 80);
    }
    EXPECT_EQ (popup.getPixelAt (0, 0), itemBackground);
    EXPECT_EQ (popup.getPixelAt (114, 79), itemBackground);
}

TEST (DropDownLook, ItemTextIsBlackInsetTenPixelsAndNothingElseIsDrawn)
{
    OSK::DropDownLookAndFeel look;

    for (auto highlighted : { false, true })
    {
        juce::Image expected (juce::Image::ARGB, 115, 25, true);
        {
            juce::Graphics g (expected);
            g.fillAll (highlighted ? highlightedBackground : itemBackground);
            g.setColour (juce::Colours::black);
            g.setFont (look.getPopupMenuFont());
            g.drawFittedText ("K-12", { 10, 0, 105, 25 }, juce::Justification::centredLeft, 1);
        }

        EXPECT_EQ (countDifferentPixels (drawItem (look, "K-12", highlighted), expected), 0);
    }
}

TEST (DropDownLook, FontIsTheInterfaceTypefaceAtSixteen)
{
    OSK::DropDownLookAndFeel look;
    const auto font = look.getPopupMenuFont();
    EXPECT_FLOAT_EQ (font.getHeight(), 16.0f);
    EXPECT_EQ (font.getTypefaceName(), "Source Sans Pro");

    juce::ComboBox box;
    EXPECT_EQ (look.getComboBoxFont (box), font);
}

TEST (DropDown, ShowsOnlyCentredBlackTextOverTheBox)
{
    OSK::DropDown dropDown;
    dropDown.setBounds (875, 560, 120, 15);
    EXPECT_EQ (dropDown.getName(), "");
    EXPECT_EQ (&dropDown.getLookAndFeel(), &dropDown.lookAndFeel);
    EXPECT_EQ (dropDown.findColour (juce::ComboBox::textColourId), juce::Colour (0xff000000));

    // With nothing chosen, nothing at all is drawn: the panel provides the box.
    const auto empty = snapshot (dropDown);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ (empty.getPixelAt (x, y).getAlpha(), 0);

    dropDown.addItemList ({ "K-20", "K-14", "K-12" }, 1);
    dropDown.setSelectedId (2, juce::dontSendNotification);

    juce::Label* text = nullptr;
    for (auto* child : dropDown.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            text = label;

    ASSERT_NE (text, nullptr);
    EXPECT_EQ (text->getText(), "K-14");
    EXPECT_EQ (text->getBounds(), juce::Rectangle<int> (0, 0, 120, 15));
    EXPECT_EQ (text->getJustificationType(), juce::Justification::centred);
    EXPECT_FLOAT_EQ (text->getFont().getHeight(), 16.0f);
    EXPECT_EQ (text->findColour (juce::Label::textColourId), juce::Colour (0xff000000));
}
