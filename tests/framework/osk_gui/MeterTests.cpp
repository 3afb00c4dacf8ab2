// The meter widgets: the display value and its label, what a bar meter lights for a value, where
// a pointer meter draws its pointer, and that an unchanged value costs no drawing.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/HorizontalMeter.h"
#include "osk_gui/VerticalMeter.h"

#include <gtest/gtest.h>

#include <ostream>

using KelvaneTest::RepaintCounter;
using KelvaneTest::snapshot;
using KelvaneTest::solidImage;

namespace
{
const juce::Colour unlit { 0xff0000ff };
const juce::Colour lit { 0xffff0000 };
const juce::Colour secondColumn { 0xff00ff00 };

// A 5 x 500 bar meter whose pictures are plain colours: unlit blue and a lit strip of three
// frames, red, green and red again, so a snapshot shows exactly which rows are lit from which frame.
std::unique_ptr<OSK::VerticalMeter> plainBarMeter()
{
    auto meter = std::make_unique<OSK::VerticalMeter> ("MeterSPeakOn_png", "MeterSPeakOff_png", juce::Rectangle<int> (0, 0, 5, 500));
    meter->offImage = solidImage (10, 1000, unlit);
    meter->onImage = juce::Image (juce::Image::ARGB, 30, 1000, false);
    meter->onImage.clear ({ 0, 0, 10, 1000 }, lit);
    meter->onImage.clear ({ 10, 0, 10, 1000 }, secondColumn);
    meter->onImage.clear ({ 20, 0, 10, 1000 }, lit);
    meter->frameWidth = 10;
    meter->frameHeight = 1000;
    return meter;
}

// The rows of the meter's middle column that show `colour`, as [first, last + 1), or an empty range.
juce::Range<int> rowsOf (const juce::Image& image, juce::Colour colour)
{
    auto first = -1;
    auto last = -1;

    for (int y = 0; y < image.getHeight(); ++y)
    {
        if (image.getPixelAt (image.getWidth() / 2, y) == colour)
        {
            first = first < 0 ? y : first;
            last = y;
        }
    }

    return first < 0 ? juce::Range<int>() : juce::Range<int> (first, last + 1);
}

// A pointer meter whose pointer is a plain red strip (24 x 30 stored, 12 x 15 drawn) over a blue face.
std::unique_ptr<OSK::HorizontalMeter> plainPointerMeter()
{
    auto meter = std::make_unique<OSK::HorizontalMeter> ("MeterPointBal_png", "MeterPointOff_png", juce::Rectangle<int> (0, 0, 1, 1));
    meter->backgroundImage = solidImage (220, 30, unlit);
    meter->pointerImage = solidImage (24, 30, lit);
    meter->frameWidth = 24.0f;
    meter->frameHeight = 30.0f;
    return meter;
}

// The columns of the meter's middle row that show the pointer. A pointer cut by the meter's edge
// may blend a trace of the face into its last column, so "red" is anything mostly red.
juce::Range<int> pointerColumns (OSK::HorizontalMeter& meter)
{
    const auto image = snapshot (meter);
    auto first = -1;
    auto last = -1;

    for (int x = 0; x < image.getWidth(); ++x)
    {
        const auto pixel = image.getPixelAt (x, 7);

        if (pixel.getRed() > 0xc0 && pixel.getBlue() < 0x40)
        {
            first = first < 0 ? x : first;
            last = x;
        }
    }

    return first < 0 ? juce::Range<int>() : juce::Range<int> (first, last + 1);
}
} // namespace

//==============================================================================
TEST (Meter, StoresTheValueLimitedToZeroToOne)
{
    const struct
    {
        double input;
        double stored;
    } cases[] { { 0.5, 0.5 }, { 1.7, 1.0 }, { -3.0, 0.0 }, { -5.52, 0.0 }, { 1.0, 1.0 }, { 0.0, 0.0 }, { 0.123, 0.123 } };

    OSK::VerticalMeter meter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 0, 0, 5, 500 });
    EXPECT_EQ (meter.value, 0.0);

    for (const auto& c : cases)
    {
        meter.setValue (0.42); // from somewhere else each time
        meter.setValue (c.input);
        EXPECT_EQ (meter.value, c.stored) << "input " << c.input;
    }
}

TEST (Meter, RepaintsOnlyWhenTheLimitedValueChanges)
{
    OSK::VerticalMeter meter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 0, 0, 5, 500 });
    meter.setValue (0.5);
    RepaintCounter repaints (meter);

    // The engine reads −5.52 for silence: the first reading moves the meter to 0, the second is no change.
    meter.setValue (-5.52);
    meter.setValue (-5.52);
    EXPECT_EQ (repaints.count, 1);

    meter.setValue (0.0);
    meter.setValue (-3.0);
    EXPECT_EQ (repaints.count, 1);

    meter.setValue (1.7);
    meter.setValue (1.0);
    meter.setValue (2.5);
    EXPECT_EQ (repaints.count, 2);

    meter.setValue (0.25);
    meter.setValue (0.25);
    EXPECT_EQ (repaints.count, 3);
}

TEST (Meter, LabelShowsTheValueOnlyOnceItChanges)
{
    const struct
    {
        double input;
        const char* text;
    } cases[] { { 0.25, "0.25" }, { 1.0, "1" }, { 0.5234567, "0.523457" }, { 1.7, "1" }, { -5.52, "0" } };

    OSK::VerticalMeter meter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 0, 0, 5, 500 });
    juce::Label label ({}, "--");
    meter.label = &label;

    meter.setValue (meter.value);
    meter.setValue (-5.52); // silence is no change from 0
    EXPECT_EQ (label.getText(), "--");

    for (const auto& c : cases)
    {
        meter.setValue (c.input);
        EXPECT_EQ (label.getText(), c.text) << "input " << c.input;
    }

    meter.valueToText = [] (double v) { return juce::String (v * 100.0, 1) + "%"; };
    meter.setValue (0.125);
    EXPECT_EQ (label.getText(), "12.5%");
}

//==============================================================================
TEST (VerticalMeter, TakesItsFrameSizeFromTheUnlitPicture)
{
    OSK::VerticalMeter meter ("MeterLMainOn_png", "MeterLMainOff_png", { 905, 25, 20, 500 });
    EXPECT_EQ (meter.getBounds(), juce::Rectangle<int> (905, 25, 20, 500));
    EXPECT_EQ (meter.frameWidth, 40);
    EXPECT_EQ (meter.frameHeight, 1000);
    EXPECT_EQ (meter.onImage.getWidth(), 120); // three frames, one per K-scale
    EXPECT_FALSE (meter.fillFromTop);
    EXPECT_EQ (meter.frameIndex, 0);

    OSK::VerticalMeter missing ("NoSuchImage_png", "NoSuchImage_png", { 0, 0, 5, 500 });
    EXPECT_EQ (missing.frameWidth, 0);
    EXPECT_EQ (missing.frameHeight, 0);
    EXPECT_NO_THROW (snapshot (missing));
}

struct LitCase
{
    double value;
    bool fromTop;
    juce::Range<int> litRows;
};

std::ostream& operator<< (std::ostream& out, const LitCase& c)
{
    return out << "value " << c.value << (c.fromTop ? " from the top" : " from the bottom");
}

struct VerticalMeterLighting : ::testing::TestWithParam<LitCase>
{
};

TEST_P (VerticalMeterLighting, LightsTheRowsOfTheValue)
{
    const auto& c = GetParam();
    auto meter = plainBarMeter();
    meter->fillFromTop = c.fromTop;
    meter->setValue (c.value);

    const auto image = snapshot (*meter);
    EXPECT_EQ (rowsOf (image, lit), c.litRows);
    EXPECT_EQ (rowsOf (image, unlit).getLength(), 500 - c.litRows.getLength());
}

INSTANTIATE_TEST_SUITE_P (Values, VerticalMeterLighting,
                          ::testing::Values (LitCase { 0.5, false, { 250, 500 } }, LitCase { 0.5, true, { 0, 250 } },
                                             LitCase { 0.0, false, {} }, LitCase { 1.0, false, { 0, 500 } },
                                             LitCase { 0.1, false, { 450, 500 } }, LitCase { 0.1, true, { 0, 50 } },
                                             LitCase { 0.9371, false, { 32, 500 } }));

TEST (VerticalMeter, DrawsTheLitPartFromTheChosenFrame)
{
    auto meter = plainBarMeter();
    meter->setValue (0.5);
    meter->frameIndex = 1;

    const auto image = snapshot (*meter);
    EXPECT_EQ (rowsOf (image, secondColumn), juce::Range<int> (250, 500));
    EXPECT_TRUE (rowsOf (image, lit).isEmpty());
}

TEST (VerticalMeter, RevealsTheMatchingPartOfTheLitPictureWithoutSqueezingIt)
{
    // The product's lit picture changes colour up its height; at 0.5 the lit half must show the
    // lower half of that picture, as drawing that half directly does.
    OSK::VerticalMeter meter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 0, 0, 5, 500 });
    meter.setValue (0.5);

    const auto drawn = snapshot (meter).getClippedImage ({ 0, 250, 5, 250 });
    const auto expected = KelvaneTest::drawnFrame (meter.onImage, { 0, 500, 10, 500 }, 5, 250);
    EXPECT_EQ (KelvaneTest::countDifferentPixels (drawn, expected), 0);
}

//==============================================================================
TEST (HorizontalMeter, IsAlways110By15)
{
    OSK::HorizontalMeter meter ("MeterPointCorr_png", "MeterPointOff_png", { 880, 625, 300, 300 });
    EXPECT_EQ (meter.getBounds(), juce::Rectangle<int> (880, 625, 110, 15));
    EXPECT_EQ (meter.frameCount, 1);
    EXPECT_EQ (meter.frameIndex, 0);
    EXPECT_EQ (meter.frameWidth, 24.0f);
    EXPECT_EQ (meter.frameHeight, 30.0f);
}

TEST (HorizontalMeter, DrawsThePointerOnePixelLeftOfTheValue)
{
    const struct
    {
        double value;
        juce::Range<int> columns;
    } cases[] {
        { 0.0, { 0, 11 } },    // from x −1: its first column is outside the meter
        { 1.0, { 109, 110 } }, // from x 109: only its first column is inside
        { 0.5, { 54, 66 } },
        { 0.25, { 26, 38 } },  // trunc (27.5 − 1)
    };

    auto meter = plainPointerMeter();

    for (const auto& c : cases)
    {
        meter->setValue (0.77);
        meter->setValue (c.value);
        EXPECT_EQ (pointerColumns (*meter), c.columns) << "value " << c.value;
    }
}

TEST (HorizontalMeter, WithThreeFramesPicksTheFrameFromTheValue)
{
    const struct
    {
        double value;
        int frame;
    } cases[] { { 0.05, 2 }, { 0.3, 1 }, { 0.7, 0 }, { 0.0999, 2 }, { 0.1, 1 }, { 0.4999, 1 }, { 0.5, 0 }, { -1.0, 2 }, { 1.5, 0 } };

    OSK::HorizontalMeter meter ("MeterPointCorr_png", "MeterPointOff_png", { 880, 625, 110, 15 });
    meter.frameCount = 3;
    meter.frameWidth = 8.0f;

    for (const auto& c : cases)
    {
        meter.setValue (c.value);
        EXPECT_EQ (meter.frameIndex, c.frame) << "value " << c.value;
    }
}

TEST (HorizontalMeter, WithOneFrameNeverChangesTheFrame)
{
    OSK::HorizontalMeter meter ("MeterPointBal_png", "MeterPointOff_png", { 880, 605, 110, 15 });

    for (auto value : { 0.05, 0.3, 0.7, 0.0 })
    {
        meter.setValue (value);
        EXPECT_EQ (meter.frameIndex, 0) << "value " << value;
    }
}

TEST (HorizontalMeter, DrawsTheChosenPointerFrame)
{
    // Three frames of 8 stored pixels each: red, green, blue; a frame change shows the new colour.
    auto meter = plainPointerMeter();
    meter->pointerImage = juce::Image (juce::Image::ARGB, 24, 30, false);
    meter->pointerImage.clear ({ 0, 0, 8, 30 }, lit);
    meter->pointerImage.clear ({ 8, 0, 8, 30 }, secondColumn);
    meter->pointerImage.clear ({ 16, 0, 8, 30 }, juce::Colours::white);
    meter->frameCount = 3;
    meter->frameWidth = 8.0f;

    meter->setValue (0.7);
    EXPECT_EQ (snapshot (*meter).getPixelAt (78, 7), lit);
    meter->setValue (0.3);
    EXPECT_EQ (snapshot (*meter).getPixelAt (34, 7), secondColumn);
    meter->setValue (0.05);
    EXPECT_EQ (snapshot (*meter).getPixelAt (5, 7), juce::Colours::white);
}

TEST (HorizontalMeter, RepaintsOnlyForANewValueOrFrame)
{
    OSK::HorizontalMeter meter ("MeterPointCorr_png", "MeterPointOff_png", { 880, 625, 110, 15 });
    meter.frameCount = 3;
    meter.setValue (0.75);
    RepaintCounter repaints (meter);

    meter.setValue (0.75);
    meter.setValue (0.75);
    EXPECT_EQ (repaints.count, 0);

    meter.setValue (0.3); // new value and new frame
    EXPECT_GE (repaints.count, 1);
}

