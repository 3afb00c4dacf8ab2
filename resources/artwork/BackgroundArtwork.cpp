#include "BackgroundArtwork.h"

#include "ArtworkStyle.h"
#include "LogoArtwork.h"
#include "PanelText.h"

namespace KelvaneArtwork
{
namespace
{
    constexpr int panelWidth = 1040;
    constexpr int panelHeight = 670;

    //==============================================================================================
    // Where the controls sit on the panel (top-left corners, logical pixels).
    struct Section
    {
        const char* title;
        juce::Colour accent;
        juce::Rectangle<float> plate;
        float titleCentreX;
        bool ruled; ///< rules beside the title; the equaliser has its channel names there instead
    };

    enum class Side
    {
        left,
        right,
        above,
        below
    };

    struct Lamp
    {
        float x, y;
        const char* caption;
        Side side;
    };

    constexpr float knobXExpander = 39.0f, knobXMid = 214.0f, knobXSide = 374.0f, knobXCompressor = 529.0f, knobXLimiter = 699.0f;
    constexpr float expanderRows[] { 29.0f, 164.0f, 299.0f, 429.0f };
    constexpr float equaliserRows[] { 29.0f, 129.0f, 229.0f, 329.0f, 429.0f, 529.0f };
    constexpr float compressorRows[] { 29.0f, 129.0f, 229.0f, 329.0f, 429.0f };
    constexpr float limiterRows[] { 29.0f, 164.0f, 299.0f, 429.0f };
    const char* const bandFrequencies[] { "12 kHz", "4.5 kHz", "1.5 kHz", "450 Hz", "80 Hz" };

    const Lamp lamps[] {
        { 50.0f, 634.0f, "Power", Side::right },
        { 50.0f, 549.0f, "Bypass", Side::right },
        { 324.0f, 549.0f, "Link", Side::above },
        { 324.0f, 569.0f, "Invert", Side::below },
        { 245.0f, 629.0f, "Bypass", Side::left },
        { 245.0f, 649.0f, "Solo", Side::left },
        { 405.0f, 629.0f, "Bypass", Side::right },
        { 405.0f, 649.0f, "Solo", Side::right },
        { 310.0f, 629.0f, "L/R\xe2\x80\x93M/S", Side::left },
        { 340.0f, 629.0f, "IIR\xe2\x80\x93" "FIR", Side::right },
        { 540.0f, 544.0f, "Auto Gain", Side::right },
        { 540.0f, 564.0f, "Bypass", Side::right },
        { 710.0f, 544.0f, "Bypass", Side::right },
    };

    // A stereo pair of peak meters (x of the left one) and, optionally, a gain-reduction meter.
    struct MeterGroup
    {
        float pairX;
        float gainReductionX;   ///< 0 when the group has none
        float gainReductionDb;  ///< the reduction shown at the bottom
    };

    constexpr MeterGroup meterGroups[] {
        { 135.0f, 165.0f, 48.0f },
        { 475.0f, 0.0f, 0.0f },
        { 625.0f, 655.0f, 16.0f },
        { 795.0f, 825.0f, 16.0f },
    };

    //==============================================================================================
    const TextStyle headingStyle { 11.5f, Palette::ink, juce::Justification::centred, 0.24f, 0.42f };
    const TextStyle columnStyle { 9.5f, Palette::ink, juce::Justification::centred, 0.16f, 0.25f };
    const TextStyle captionStyle { 10.5f, Palette::caption, juce::Justification::centredLeft, 0.02f, 0.12f };
    const TextStyle smallCaptionStyle { 9.5f, Palette::caption, juce::Justification::centred, 0.02f, 0.1f };
    const TextStyle noteStyle { 9.5f, Palette::faintInk, juce::Justification::centred, 0.04f, 0.1f };
    const TextStyle scaleStyle { 10.5f, Palette::scaleText, juce::Justification::centredRight, 0.0f, 0.12f };

    juce::String minus (int value)
    {
        return value < 0 ? juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92")) + juce::String (-value) : juce::String (value);
    }

    //==============================================================================================
    void drawPanel (juce::Graphics& g)
    {
        g.setGradientFill ({ Palette::gutter.brighter (0.06f), 0.0f, 0.0f, Palette::gutter.darker (0.05f), 0.0f, (float) panelHeight, false });
        g.fillAll();
    }

    void drawPlate (juce::Graphics& g, juce::Rectangle<float> plate)
    {
        juce::Path outline;
        outline.addRoundedRectangle (plate, 5.0f);
        juce::DropShadow (juce::Colour (0x40000000), 4, { 0, 1 }).drawForPath (g, outline);

        g.setGradientFill ({ Palette::plateTop, 0.0f, plate.getY(), Palette::plateBottom, 0.0f, plate.getBottom(), false });
        g.fillPath (outline);

        g.setColour (Palette::plateHighlight);
        g.drawRoundedRectangle (plate.reduced (1.0f), 4.0f, 0.8f);
        g.setColour (Palette::plateEdge);
        g.drawRoundedRectangle (plate, 5.0f, 0.8f);
    }

    void drawHeading (juce::Graphics& g, const Section& section)
    {
        const juce::Rectangle<float> line (section.plate.getX(), 8.0f, section.plate.getWidth(), 12.0f);
        drawText (g, section.title, line.withX (section.titleCentreX - 100.0f).withWidth (200.0f), headingStyle);

        if (! section.ruled)
            return;

        // Short rules in the section's colour on both sides of the title.
        const auto halfTitle = textWidth (section.title, headingStyle) * 0.5f + 7.0f;
        const auto ruleLength = 34.0f;
        const auto y = line.getCentreY() - 0.75f;
        const auto leftEnd = section.titleCentreX - halfTitle;
        const auto rightStart = section.titleCentreX + halfTitle;
        const auto leftStart = juce::jmax (line.getX() + 10.0f, leftEnd - ruleLength);
        const auto rightEnd = juce::jmin (line.getRight() - 10.0f, rightStart + ruleLength);

        g.setColour (section.accent);
        g.fillRoundedRectangle ({ leftStart, y, leftEnd - leftStart, 1.5f }, 0.75f);
        g.fillRoundedRectangle ({ rightStart, y, rightEnd - rightStart, 1.5f }, 0.75f);
    }

    // A recessed field, for the editor's black text or for a meter.
    void drawWindow (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour fill, float radius)
    {
        g.setColour (fill);
        g.fillRoundedRectangle (area, radius);
        g.setColour (juce::Colour (0x26000000));
        g.fillRoundedRectangle (area.withHeight (1.2f).reduced (radius * 0.6f, 0.0f), 0.6f);
        g.setColour (Palette::windowEdge);
        g.drawRoundedRectangle (area, radius, 0.8f);
        g.setColour (juce::Colour (0x90ffffff));
        g.drawLine (area.getX() + radius, area.getBottom() + 0.7f, area.getRight() - radius, area.getBottom() + 0.7f, 0.8f);
    }

    void drawKnobValueWindows (juce::Graphics& g)
    {
        auto window = [&g] (float x, float y) { drawWindow (g, { x + 5.0f, y + 76.0f, 62.0f, 15.0f }, Palette::windowFill, 2.5f); };

        for (auto y : expanderRows)
            window (knobXExpander, y);

        for (auto y : equaliserRows)
        {
            window (knobXMid, y);
            window (knobXSide, y);
        }

        for (auto y : compressorRows)
            window (knobXCompressor, y);

        for (auto y : limiterRows)
            window (knobXLimiter, y);
    }

    //==============================================================================================
    void drawLampCaption (juce::Graphics& g, const Lamp& lamp)
    {
        const juce::Rectangle<float> lampArea (lamp.x, lamp.y, 12.0f, 12.0f);
        const auto caption = juce::String::fromUTF8 (lamp.caption);
        auto style = captionStyle;

        switch (lamp.side)
        {
            case Side::right:
                drawText (g, caption, { lampArea.getRight() + 5.0f, lamp.y, 120.0f, 12.0f }, style);
                break;

            case Side::left:
                style.justification = juce::Justification::centredRight;
                drawText (g, caption, { lamp.x - 125.0f, lamp.y, 120.0f, 12.0f }, style);
                break;

            case Side::above:
                drawText (g, caption, lampArea.translated (0.0f, -12.0f).withSizeKeepingCentre (60.0f, 10.0f), smallCaptionStyle);
                break;

            case Side::below:
                drawText (g, caption, lampArea.translated (0.0f, 13.0f).withSizeKeepingCentre (60.0f, 10.0f), smallCaptionStyle);
                break;
        }
    }

    // The column between the two knobs of each equaliser band: the band's frequency, its two
    // bypass lamps ("Byp", facing their knobs) and the link lamp ("Link", underneath).
    void drawEqualiserMiddleColumn (juce::Graphics& g)
    {
        for (int row = 0; row < 6; ++row)
        {
            const auto y = equaliserRows[row];
            const auto lampY = y + 30.0f;
            auto left = captionStyle;
            left.height = 9.5f;
            left.justification = juce::Justification::centredRight;
            auto right = left;
            right.justification = juce::Justification::centredLeft;

            drawText (g, "Byp", { 250.0f, lampY, 55.0f, 12.0f }, left);
            drawText (g, "Byp", { 355.0f, lampY, 55.0f, 12.0f }, right);

            if (row < 5)
            {
                drawText (g, bandFrequencies[row], { 290.0f, y + 14.0f, 80.0f, 10.0f }, noteStyle);
                drawText (g, "Link", { 300.0f, y + 45.0f, 60.0f, 10.0f }, smallCaptionStyle);
            }
        }
    }

    //==============================================================================================
    void drawWell (juce::Graphics& g, juce::Rectangle<float> meters)
    {
        const auto outer = meters.expanded (1.5f);
        g.setColour (Palette::well);
        g.fillRoundedRectangle (outer, 1.5f);
        g.setColour (Palette::wellEdge);
        g.drawRoundedRectangle (outer, 1.5f, 0.7f);
        g.setColour (juce::Colour (0xb0ffffff));
        g.drawLine (outer.getX() + 1.0f, outer.getBottom() + 0.8f, outer.getRight() - 1.0f, outer.getBottom() + 0.8f, 0.8f);
    }

    // Numbers beside a meter, `count` of them from `first` in steps of `step`, spread evenly from
    // the meter's top edge to its bottom edge, each with a short tick pointing at the meter.
    void drawMeterNumbers (juce::Graphics& g, float edgeX, bool onLeft, int first, int step, int count)
    {
        auto style = scaleStyle;
        style.justification = onLeft ? juce::Justification::centredRight : juce::Justification::centredLeft;

        for (int i = 0; i < count; ++i)
        {
            const auto y = meterTop + meterHeight * (float) i / (float) (count - 1);
            const auto tickX = onLeft ? edgeX - 4.5f : edgeX + 2.0f;
            g.setColour (Palette::scaleText.withAlpha (0.7f));
            g.fillRect (juce::Rectangle<float> (tickX, y - 0.4f, 2.5f, 0.8f));

            const auto box = onLeft ? juce::Rectangle<float> (edgeX - 40.0f, y - 5.0f, 34.5f, 10.0f)
                                    : juce::Rectangle<float> (edgeX + 6.0f, y - 5.0f, 34.5f, 10.0f);
            drawText (g, minus (first + step * i), box, style);
        }
    }

    void drawMeterGroups (juce::Graphics& g)
    {
        for (const auto& group : meterGroups)
        {
            drawWell (g, { group.pairX, meterTop, 15.0f, meterHeight });
            drawMeterNumbers (g, group.pairX - 1.5f, true, 0, -6, 9);
            drawText (g, "L", { group.pairX, meterTop + meterHeight + 3.0f, 5.0f, 10.0f }, noteStyle);
            drawText (g, "R", { group.pairX + 10.0f, meterTop + meterHeight + 3.0f, 5.0f, 10.0f }, noteStyle);

            if (group.gainReductionX > 0.0f)
            {
                const auto step = group.gainReductionDb > 20.0f ? 6 : 2;
                drawWell (g, { group.gainReductionX, meterTop, 5.0f, meterHeight });
                drawMeterNumbers (g, group.gainReductionX + 6.5f, false, 0, step, 9);
                drawText (g, "GR", { group.gainReductionX - 5.0f, meterTop + meterHeight + 3.0f, 15.0f, 10.0f }, noteStyle);
            }
        }
    }

    // The output: peak and RMS meters left and right of the K-scale, then balance and correlation.
    void drawOutputSection (juce::Graphics& g)
    {
        drawWell (g, { 890.0f, meterTop, 35.0f, meterHeight });
        drawWell (g, { 945.0f, meterTop, 35.0f, meterHeight });
        drawMeterNumbers (g, 888.5f, true, 0, -6, 9);
        drawMeterNumbers (g, 981.5f, false, 0, -6, 9);

        // The field behind the scale list, with an arrow that says it opens.
        drawWindow (g, { 875.0f, 559.5f, 120.0f, 16.0f }, Palette::windowFill, 3.0f);
        juce::Path arrow;
        arrow.addTriangle (983.0f, 565.5f, 989.0f, 565.5f, 986.0f, 569.5f);
        g.setColour (Palette::faintInk);
        g.fillPath (arrow);

        // Balance above correlation; the pointer faces are images of their own.
        for (auto y : { 605.0f, 625.0f })
        {
            juce::Path face;
            face.addRoundedRectangle (juce::Rectangle<float> (880.0f, y, 110.0f, 15.0f), 2.5f);
            juce::DropShadow (juce::Colour (0x30000000), 3, { 0, 1 }).drawForPath (g, face);
        }

        auto ends = noteStyle;
        ends.colour = Palette::scaleText;
        drawText (g, "L", { 866.0f, 605.0f, 12.0f, 15.0f }, ends);
        drawText (g, "R", { 992.0f, 605.0f, 12.0f, 15.0f }, ends);
        drawText (g, juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92" "1")), { 866.0f, 625.0f, 12.0f, 15.0f }, ends);
        drawText (g, "+1", { 992.0f, 625.0f, 12.0f, 15.0f }, ends);

        const TextStyle meterName { 8.5f, Palette::caption, juce::Justification::centred, 0.2f, 0.15f };
        drawText (g, "BALANCE", { 880.0f, 591.0f, 110.0f, 11.0f }, meterName);
        drawText (g, "CORRELATION", { 880.0f, 643.0f, 110.0f, 11.0f }, meterName);
    }
} // namespace

juce::Image drawBackground()
{
    auto image = makeCanvas (panelWidth, panelHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    drawPanel (g);

    const Section sections[] {
        { "EXPANDER", Palette::expander, { 8.0f, 6.0f, 186.0f, 566.0f }, 101.0f, true },
        { "EQUALISER", Palette::equaliser, { 200.0f, 6.0f, 302.0f, 658.0f }, 330.0f, false },
        { "COMPRESSOR", Palette::compressor, { 508.0f, 6.0f, 176.0f, 658.0f }, 596.0f, true },
        { "LIMITER", Palette::limiter, { 690.0f, 6.0f, 162.0f, 658.0f }, 771.0f, true },
        { "OUTPUT", Palette::output, { 858.0f, 6.0f, 174.0f, 658.0f }, 935.0f, true },
    };

    for (const auto& section : sections)
        drawPlate (g, section.plate);

    drawPlate (g, { 8.0f, 578.0f, 186.0f, 86.0f });

    for (const auto& section : sections)
        drawHeading (g, section);

    // The equaliser's heading shares its line with the names of its two channels.
    auto column = columnStyle;
    column.colour = Palette::equaliser.darker (0.35f);
    drawText (g, "MID / LEFT", { 200.0f, 8.0f, 100.0f, 12.0f }, column);
    drawText (g, "SIDE / RIGHT", { 360.0f, 8.0f, 100.0f, 12.0f }, column);

    drawKnobValueWindows (g);
    drawMeterGroups (g);
    drawOutputSection (g);
    drawEqualiserMiddleColumn (g);

    for (const auto& lamp : lamps)
        drawLampCaption (g, lamp);

    drawLogo (g, { 33.0f, 583.0f, 145.0f, 40.0f }, false);
    return image;
}

} // namespace KelvaneArtwork
