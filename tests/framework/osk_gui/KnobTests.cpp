// Knob: which film-strip frame it draws for a value, its caption, its right-button hooks and its
// snap table.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/Knob.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using KelvaneTest::countDifferentPixels;
using KelvaneTest::drawnFrame;
using KelvaneTest::snapshot;

namespace
{
const juce::Image& strip()
{
    static const auto image = OSK::EmbeddedResources::productImage ("KnobExp_png");
    return image;
}

juce::Image expectedFrame (int frame)
{
    return drawnFrame (strip(), { 0, frame * 144, 144, 144 }, 72, 72);
}

// Confirms that the knob shows `frame` and neither of its neighbours.
void expectShowsFrame (OSK::Knob& knob, int frame)
{
    const auto drawn = snapshot (knob);
    EXPECT_EQ (countDifferentPixels (drawn, expectedFrame (frame)), 0) << "frame " << frame;

    for (auto neighbour : { frame - 1, frame + 1 })
    {
        if (neighbour >= 0 && neighbour <= 100)
        {
            EXPECT_GT (countDifferentPixels (drawn, expectedFrame (neighbour)), 0) << "neighbour " << neighbour;
        }
    }
}

struct FrameCase
{
    const char* name;
    double value;
    int frame;

    friend std::ostream& operator<< (std::ostream& os, const FrameCase& c) { return os << c.name; }
};

template <typename Case>
std::string caseName (const ::testing::TestParamInfo<Case>& testCase)
{
    return testCase.param.name;
}

struct KnobFrame : ::testing::TestWithParam<FrameCase>
{
};
} // namespace

TEST (Knob, LoadsItsStripAndCutsIt)
{
    OSK::Knob knob ("KnobExp_png", 39, 164);

    EXPECT_EQ (knob.getBounds(), juce::Rectangle<int> (39, 164, 72, 72));
    EXPECT_EQ (knob.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
    EXPECT_EQ (knob.getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_EQ (knob.numFrames, 101);
    EXPECT_EQ (knob.frameWidth, 144);
    EXPECT_EQ (knob.frameHeight, 144);
    EXPECT_EQ (knob.labelColour, juce::Colour (0xff8a8a8a));
}

TEST (Knob, UnknownStripGivesEmptyFramesButAWorkingSlider)
{
    OSK::Knob knob ("NoSuchKnob_png", 0, 0);
    knob.setRange (0.0, 1.0);
    knob.setValue (0.5);

    EXPECT_EQ (knob.frameWidth, 0);
    EXPECT_EQ (knob.frameHeight, 0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 0.5);

    const auto drawn = snapshot (knob);
    EXPECT_EQ (drawn.getPixelAt (36, 36).getAlpha(), 0);
}

TEST_P (KnobFrame, OnTheUnitRangeShowsTheFrameForTheValue)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    knob.setRange (0.0, 1.0);
    knob.setValue (GetParam().value, juce::dontSendNotification);
    expectShowsFrame (knob, GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P (Knob, KnobFrame,
                          ::testing::Values (FrameCase { "Start", 0.0, 0 }, FrameCase { "Quarter", 0.25, 25 },
                                             FrameCase { "Middle", 0.5, 50 }, FrameCase { "JustBelowEnd", 0.999, 99 },
                                             FrameCase { "End", 1.0, 100 }),
                          caseName<FrameCase>);

TEST (Knob, SkewedRangePicksTheFrameLinearlyFromTheValue)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    knob.setNormalisableRange ({ 0.0, 100.0, 0.0, 0.3 });
    knob.setValue (25.5, juce::dontSendNotification);

    // The slider's own position is far along its arc; the frame still follows the value.
    ASSERT_GT (knob.valueToProportionOfLength (25.5), 0.6);
    expectShowsFrame (knob, 25);
}

TEST (Knob, OffsetRangeCountsFromItsStart)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    knob.setRange (-60.0, 0.0);
    knob.setValue (-30.0, juce::dontSendNotification);
    expectShowsFrame (knob, 50);
}

TEST (Knob, WithoutCaptionDrawsOnlyTheImage)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    const juce::Font font (12.0f);
    knob.labelFont = &font; // a font alone draws nothing
    knob.setRange (0.0, 1.0);
    knob.setValue (0.0, juce::dontSendNotification);

    EXPECT_EQ (countDifferentPixels (snapshot (knob), expectedFrame (0)), 0);
}

TEST (Knob, CaptionIsCentredOverTheImageInGrey)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    const auto font = juce::Font (OSK::EmbeddedResources::createInterfaceTypeface()).withHeight (12.0f);
    knob.label = "Release";
    knob.labelFont = &font;
    knob.setRange (0.0, 1.0);
    knob.setValue (0.5, juce::dontSendNotification);

    auto expected = expectedFrame (50);
    {
        juce::Graphics g (expected);
        g.setFont (font);
        g.setColour (juce::Colour (0xff8a8a8a));
        g.drawText ("Release", juce::Rectangle<float> (0.0f, 0.0f, 72.0f, 72.0f), juce::Justification::centred, false);
    }

    const auto drawn = snapshot (knob);
    EXPECT_EQ (countDifferentPixels (drawn, expected), 0);
    EXPECT_GT (countDifferentPixels (drawn, expectedFrame (50)), 20);
}

TEST (Knob, RightButtonRunsTheHooksAndTheLeftButtonDoesNot)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    int downs = 0, ups = 0;
    knob.onRightMouseDown = [&downs] { ++downs; };
    knob.onRightMouseUp = [&ups] { ++ups; };

    const auto middle = juce::Point<float> (36.0f, 36.0f);
    knob.mouseDown (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::rightButtonModifier));
    knob.mouseUp (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::rightButtonModifier));
    EXPECT_EQ (downs, 1);
    EXPECT_EQ (ups, 1);

    knob.mouseDown (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::leftButtonModifier));
    knob.mouseUp (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::leftButtonModifier));
    EXPECT_EQ (downs, 1);
    EXPECT_EQ (ups, 1);
}

TEST (Knob, RightClickWithoutHooksLeavesTheValueAlone)
{
    OSK::Knob knob ("KnobExp_png", 0, 0);
    knob.setRange (0.0, 1.0);
    knob.setValue (0.3, juce::dontSendNotification);

    const auto middle = juce::Point<float> (36.0f, 36.0f);
    knob.mouseDown (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::rightButtonModifier));
    knob.mouseUp (KelvaneTest::mouseEventAt (knob, middle, juce::ModifierKeys::rightButtonModifier));
    EXPECT_DOUBLE_EQ (knob.getValue(), 0.3);
}

//==================================================================================================
namespace
{
struct SnapCase
{
    const char* name;
    bool enabled;
    std::vector<double> thresholds;
    std::vector<double> values;
    double proposed;
    double expected;

    friend std::ostream& operator<< (std::ostream& os, const SnapCase& c) { return os << c.name; }
};

struct KnobSnap : ::testing::TestWithParam<SnapCase>
{
};
} // namespace

TEST_P (KnobSnap, FollowsTheTable)
{
    const auto& c = GetParam();
    OSK::Knob knob ("KnobExp_png", 0, 0);
    knob.snapEnabled = c.enabled;

    for (auto t : c.thresholds)
        knob.snapThresholds.add (t);

    for (auto v : c.values)
        knob.snapValues.add (v);

    EXPECT_DOUBLE_EQ (knob.snapValue (c.proposed, juce::Slider::absoluteDrag), c.expected);
}

INSTANTIATE_TEST_SUITE_P (
    Knob, KnobSnap,
    ::testing::Values (SnapCase { "OffKeepsTheValue", false, { 0.25, 0.75 }, { 0.0, 0.5 }, 0.1, 0.1 },
                       SnapCase { "OffWithoutTable", false, {}, {}, 0.63, 0.63 },
                       SnapCase { "BelowFirstThreshold", true, { 0.25, 0.75 }, { 0.0, 0.5 }, 0.1, 0.0 },
                       SnapCase { "AtFirstThreshold", true, { 0.25, 0.75 }, { 0.0, 0.5 }, 0.25, 0.0 },
                       SnapCase { "BelowSecondThreshold", true, { 0.25, 0.75 }, { 0.0, 0.5 }, 0.5, 0.5 },
                       SnapCase { "BeyondEveryThreshold", true, { 0.25, 0.75 }, { 0.0, 0.5 }, 0.9, 1.0 },
                       SnapCase { "ThresholdWithoutValue", true, { 0.25, 0.75 }, { 0.3 }, 0.5, 0.0 },
                       SnapCase { "EmptyTable", true, {}, {}, 0.2, 1.0 }),
    caseName<SnapCase>);
