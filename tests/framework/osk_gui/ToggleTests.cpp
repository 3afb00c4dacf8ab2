// Toggle: which of its two frames it shows, and its double-click hook.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/Toggle.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using KelvaneTest::countDifferentPixels;
using KelvaneTest::drawnFrame;
using KelvaneTest::snapshot;

namespace
{
struct ToggleCase
{
    const char* name;
    bool inverted;
    bool on;
    bool showsTopFrame; // the unlit frame

    friend std::ostream& operator<< (std::ostream& os, const ToggleCase& c) { return os << c.name; }
};

std::string caseName (const ::testing::TestParamInfo<ToggleCase>& testCase)
{
    return testCase.param.name;
}

struct ToggleFrame : ::testing::TestWithParam<ToggleCase>
{
};
} // namespace

TEST (Toggle, CutsItsImageIntoTwoFramesStackedTopToBottom)
{
    OSK::Toggle toggle ("SwitchRed_png");
    EXPECT_EQ (toggle.frameWidth, 24);
    EXPECT_EQ (toggle.frameHeight, 24);
    EXPECT_FALSE (toggle.inverted);
}

TEST (Toggle, UnknownImageGivesEmptyFrames)
{
    OSK::Toggle toggle ("NoSuchSwitch_png");
    EXPECT_EQ (toggle.frameWidth, 0);
    EXPECT_EQ (toggle.frameHeight, 0);
}

TEST_P (ToggleFrame, ShowsTheFrameForItsStateAndInversion)
{
    const auto& c = GetParam();
    OSK::Toggle toggle ("SwitchYellow_png");
    toggle.setBounds (324, 569, 12, 12);
    toggle.inverted = c.inverted;
    toggle.setToggleState (c.on, juce::dontSendNotification);

    const auto image = OSK::EmbeddedResources::productImage ("SwitchYellow_png");
    const auto top = drawnFrame (image, { 0, 0, 24, 24 }, 12, 12);
    const auto bottom = drawnFrame (image, { 0, 24, 24, 24 }, 12, 12);
    const auto drawn = snapshot (toggle);

    EXPECT_EQ (countDifferentPixels (drawn, c.showsTopFrame ? top : bottom), 0);
    EXPECT_GT (countDifferentPixels (drawn, c.showsTopFrame ? bottom : top), 0);
}

INSTANTIATE_TEST_SUITE_P (Toggle, ToggleFrame,
                          ::testing::Values (ToggleCase { "InvertedOn", true, true, false },
                                             ToggleCase { "InvertedOff", true, false, true },
                                             ToggleCase { "PlainOn", false, true, true },
                                             ToggleCase { "PlainOff", false, false, false }),
                          caseName);

TEST (Toggle, ClickTogglesTheState)
{
    OSK::Toggle toggle ("SwitchRed_png");
    toggle.setBounds (0, 0, 12, 12);
    toggle.setVisible (true);

    KelvaneTest::click (toggle);
    EXPECT_TRUE (toggle.getToggleState());
    KelvaneTest::click (toggle);
    EXPECT_FALSE (toggle.getToggleState());
}

TEST (Toggle, DoubleClickRunsTheHookAndPressesAgain)
{
    OSK::Toggle toggle ("SwitchRed_png");
    toggle.setBounds (0, 0, 12, 12);
    toggle.setVisible (true);
    int doubleClicks = 0;
    toggle.onDoubleClick = [&doubleClicks] { ++doubleClicks; };

    const auto middle = juce::Point<float> (6.0f, 6.0f);
    toggle.mouseDoubleClick (KelvaneTest::mouseEventAt (toggle, middle, juce::ModifierKeys::leftButtonModifier));
    EXPECT_EQ (doubleClicks, 1);
    EXPECT_TRUE (toggle.isDown()); // the second click acts as a press

    auto& asComponent = static_cast<juce::Component&> (toggle); // a button's mouseUp is protected
    asComponent.mouseUp (KelvaneTest::mouseEventAt (toggle, middle, juce::ModifierKeys::leftButtonModifier));
    EXPECT_TRUE (toggle.getToggleState());
}
