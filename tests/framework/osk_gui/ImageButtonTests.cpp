// ImageButton and TransparentButton: frames while resting and while pressed.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/ImageButton.h"
#include "osk_gui/TransparentButton.h"

#include <gtest/gtest.h>

using KelvaneTest::countDifferentPixels;
using KelvaneTest::drawnFrame;
using KelvaneTest::snapshot;

namespace
{
// Two 20 x 10 frames: red on top, blue below.
juce::Image twoColourFrames()
{
    juce::Image image (juce::Image::ARGB, 20, 20, true);
    juce::Graphics g (image);
    g.setColour (juce::Colours::red);
    g.fillRect (0, 0, 20, 10);
    g.setColour (juce::Colours::blue);
    g.fillRect (0, 10, 20, 10);
    return image;
}
} // namespace

TEST (ImageButton, StartsAsOneFrameWithEmptyBounds)
{
    OSK::ImageButton button (twoColourFrames());
    EXPECT_EQ (button.getName(), "ImageButton");
    EXPECT_TRUE (button.getBounds().isEmpty());
    EXPECT_EQ (button.numFrames, 1);
    EXPECT_EQ (button.frameWidth, 20);
    EXPECT_EQ (button.frameHeight, 20);
}

TEST (ImageButton, SetImageCutsTheFrames)
{
    OSK::ImageButton button (juce::Image {});
    EXPECT_EQ (button.frameWidth, 0);

    button.setImage (twoColourFrames(), 2);
    EXPECT_EQ (button.numFrames, 2);
    EXPECT_EQ (button.frameWidth, 20);
    EXPECT_EQ (button.frameHeight, 10);
}

TEST (ImageButton, ShowsTheLowerFrameOnlyWhilePressed)
{
    OSK::ImageButton button (juce::Image {});
    button.setImage (twoColourFrames(), 2);
    button.setBounds (0, 0, 10, 5);

    EXPECT_EQ (snapshot (button).getPixelAt (5, 2), juce::Colours::red);

    button.setState (juce::Button::buttonOver); // the highlight is ignored
    EXPECT_EQ (snapshot (button).getPixelAt (5, 2), juce::Colours::red);

    button.setState (juce::Button::buttonDown);
    EXPECT_EQ (snapshot (button).getPixelAt (5, 2), juce::Colours::blue);

    button.setState (juce::Button::buttonNormal);
    EXPECT_EQ (snapshot (button).getPixelAt (5, 2), juce::Colours::red);
}

TEST (ImageButton, BannerDrawsItsPressedFrameWhileHeldDown)
{
    const auto banner = OSK::EmbeddedResources::commonImage ("banner_png");
    OSK::ImageButton button (juce::Image {});
    button.setImage (banner, 2);
    button.setBounds (2, 672, 171, 27);

    const auto up = drawnFrame (banner, { 0, 0, 342, 54 }, 171, 27);
    const auto down = drawnFrame (banner, { 0, 54, 342, 54 }, 171, 27);
    EXPECT_GT (countDifferentPixels (up, down), 0);

    EXPECT_EQ (countDifferentPixels (snapshot (button), up), 0);
    button.setState (juce::Button::buttonDown);
    EXPECT_EQ (countDifferentPixels (snapshot (button), down), 0);
}

TEST (TransparentButton, DrawsNothingButStillClicks)
{
    OSK::TransparentButton button;
    button.setBounds (0, 0, 75, 75);
    button.setVisible (true);
    int clicks = 0;
    button.onClick = [&clicks] { ++clicks; };

    EXPECT_EQ (button.getName(), "TransparentButton");

    button.setState (juce::Button::buttonDown);
    const auto drawn = snapshot (button);
    button.setState (juce::Button::buttonNormal);

    for (int y = 0; y < 75; y += 5)
        for (int x = 0; x < 75; x += 5)
            ASSERT_EQ (drawn.getPixelAt (x, y).getAlpha(), 0);

    KelvaneTest::click (button);
    EXPECT_EQ (clicks, 1);
}
