// The About panel on its own: image, version label and hiding on a click.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/About.h"
#include "osk_gui/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <cmath>

TEST (About, VersionLabelReadsTheBuildsVersion)
{
    OSK::About about;
    EXPECT_EQ (about.getName(), "About");
    EXPECT_EQ (about.versionText, "VERSION 3.0.0 BUILD 336");
    EXPECT_EQ (about.versionLabel.getText(), "VERSION 3.0.0 BUILD 336");
    EXPECT_TRUE (about.versionLabel.isVisible());
    EXPECT_EQ (about.versionLabel.getParentComponent(), &about);
}

TEST (About, VersionLabelIsAsWideAsItsTextAtSixteenAndFourteenHigh)
{
    OSK::About about;
    const auto typeface = OSK::EmbeddedResources::createInterfaceTypeface();

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (juce::Font (typeface).withHeight (16.0f), about.versionText, 0.0f, 0.0f);
    const auto width = (int) std::ceil (glyphs.getBoundingBox (0, -1, true).getWidth());

    EXPECT_GT (width, 100);
    EXPECT_EQ (about.versionLabel.getWidth(), width);
    EXPECT_EQ (about.versionLabel.getHeight(), 14);
    EXPECT_FLOAT_EQ (about.versionLabel.getFont().getHeight(), 14.0f);
    EXPECT_EQ (about.versionLabel.getFont().getTypefaceName(), "Source Sans Pro");
}

TEST (About, ResizedFillsTheImageAndPlacesTheLabelFromTheTopRight)
{
    OSK::About about;
    about.setBounds (0, 0, 1040, 670);

    EXPECT_EQ (about.image.getName(), "AboutBackground");
    EXPECT_EQ (about.image.getBounds(), juce::Rectangle<int> (0, 0, 1040, 670));
    EXPECT_EQ (about.versionLabel.getPosition(), juce::Point<int> (1040 - about.versionLabel.getWidth() - 115, 115));
    EXPECT_TRUE (about.isOpaque());
}

TEST (About, ClicksOnTheImageReachThePanel)
{
    OSK::About about;
    about.setBounds (0, 0, 1040, 670);
    about.setVisible (true);

    EXPECT_EQ (about.getComponentAt (500, 400), &about);
}

TEST (About, AnyClickSendsItBehindItsSiblings)
{
    juce::Component parent;
    juce::Component sibling;
    OSK::About about;
    parent.setBounds (0, 0, 1040, 670);
    parent.addAndMakeVisible (sibling);
    parent.addAndMakeVisible (about);
    ASSERT_EQ (parent.getIndexOfChildComponent (&about), 1);

    for (auto button : { juce::ModifierKeys::leftButtonModifier, juce::ModifierKeys::rightButtonModifier })
    {
        about.toFront (false);
        about.mouseUp (KelvaneTest::mouseEventAt (about, { 10.0f, 10.0f }, button));
        EXPECT_EQ (parent.getIndexOfChildComponent (&about), 0);
    }
}
