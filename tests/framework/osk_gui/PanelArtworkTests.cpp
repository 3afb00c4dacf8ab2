// The artwork against the editor's layout: the panel is light wherever the editor writes black
// text, and every knob's pointer sweeps the arc of JUCE's rotary slider, so a knob dragged in
// circular mode follows the drawn pointer.

#include "osk_gui/EmbeddedResources.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <string>

namespace
{
// The darkest pixel of an area given in the editor's logical pixels (the panel is stored at twice that).
float darkestBrightness (const juce::Image& panel, juce::Rectangle<int> logicalArea)
{
    auto darkest = 1.0f;

    for (int y = logicalArea.getY() * 2; y < logicalArea.getBottom() * 2; ++y)
        for (int x = logicalArea.getX() * 2; x < logicalArea.getRight() * 2; ++x)
            darkest = juce::jmin (darkest, panel.getPixelAt (x, y).getPerceivedBrightness());

    return darkest;
}

// The value boxes sit at (x, y + 76, 72, 15) under each knob; their text is centred, so the
// middle of the box must be light.
juce::Rectangle<int> valueTextArea (int x, int y)
{
    return { x + 8, y + 78, 56, 11 };
}
} // namespace

TEST (PanelArtwork, IsLightWhereTheEditorWritesBlackText)
{
    const auto panel = OSK::EmbeddedResources::productImage ("Background_png");
    ASSERT_TRUE (panel.isValid());

    juce::Array<juce::Rectangle<int>> areas;

    for (auto y : { 29, 164, 299, 429 })
    {
        areas.add (valueTextArea (39, y));   // expander
        areas.add (valueTextArea (699, y));  // limiter
    }

    for (auto y : { 29, 129, 229, 329, 429, 529 })
    {
        areas.add (valueTextArea (214, y));  // equaliser, first channel
        areas.add (valueTextArea (374, y));  // equaliser, second channel
    }

    for (auto y : { 29, 129, 229, 329, 429 })
        areas.add (valueTextArea (529, y));  // compressor

    areas.add ({ 875, 535, 120, 15 });       // meter value labels
    areas.add ({ 880, 561, 90, 13 });        // the scale list's centred text (its arrow sits at the right end)

    for (const auto& area : areas)
        EXPECT_GT (darkestBrightness (panel, area), 0.75f) << area.toString();
}

//==================================================================================================
struct KnobStrip : ::testing::TestWithParam<const char*>
{
};

TEST_P (KnobStrip, PointerSweepsTheRotarySlidersArc)
{
    const auto strip = OSK::EmbeddedResources::productImage (GetParam());
    ASSERT_EQ (strip.getWidth(), 144);
    ASSERT_EQ (strip.getHeight(), 144 * 101);

    const juce::Slider slider;
    const auto arc = slider.getRotaryParameters();

    for (auto frame : { 0, 20, 50, 80, 100 })
    {
        // The pointer is the only near-white, unsaturated mark between the caption and the rim.
        juce::Point<double> sum;
        auto count = 0;

        for (int y = 0; y < 144; ++y)
        {
            for (int x = 0; x < 144; ++x)
            {
                const auto offset = juce::Point<double> (x + 0.5 - 72.0, y + 0.5 - 72.0);
                const auto radius = offset.getDistanceFromOrigin();
                const auto pixel = strip.getPixelAt (x, frame * 144 + y);

                if (radius > 36.0 && radius < 54.0 && pixel.getPerceivedBrightness() > 0.85f && pixel.getSaturation() < 0.15f)
                {
                    sum += offset;
                    ++count;
                }
            }
        }

        ASSERT_GT (count, 10) << "frame " << frame;

        const auto measured = std::atan2 (sum.x, -sum.y); // clockwise from twelve o'clock
        const auto expected = arc.startAngleRadians + (arc.endAngleRadians - arc.startAngleRadians) * (float) frame / 100.0f;
        const auto difference = std::remainder (measured - (double) expected, juce::MathConstants<double>::twoPi);
        EXPECT_LT (std::abs (difference), juce::degreesToRadians (3.0)) << "frame " << frame;
    }
}

namespace
{
std::string stripName (const ::testing::TestParamInfo<const char*>& strip)
{
    return juce::String (strip.param).upToFirstOccurrenceOf ("_", false, false).toStdString();
}
} // namespace

INSTANTIATE_TEST_SUITE_P (PanelArtwork, KnobStrip, ::testing::Values ("KnobExp_png", "KnobEQ_png", "KnobComp_png", "KnobLim_png"),
                          stripName);
