#include "MeterArtwork.h"

#include "ArtworkStyle.h"
#include "PanelText.h"

namespace KelvaneArtwork
{
namespace
{
    constexpr float kOffsets[] { 20.0f, 14.0f, 12.0f }; // the 0 mark of K-20, K-14, K-12 in dB below full scale
    constexpr float scaleMargin = 4.0f; // the scale starts 4 pixels above the meters' top edge (y 21 against 25)
    constexpr int scaleHeight = 510;
    constexpr int columnWidth = 20;

    float segmentHeight (MeterLadder ladder)
    {
        switch (ladder)
        {
            case MeterLadder::peak:          return meterOffsetForDb (1.0f);
            case MeterLadder::gainReduction: return meterHeight / 16.0f;
            case MeterLadder::main:          return meterOffsetForDb (2.0f);
        }

        return meterHeight;
    }

    // Dark gaps between the segments, drawn identically on the lit and unlit images.
    void drawSegmentGaps (juce::Graphics& g, juce::Rectangle<float> area, MeterLadder ladder, juce::Colour gap)
    {
        g.setColour (gap);
        const auto step = segmentHeight (ladder);

        for (auto y = area.getY() + step; y < area.getBottom() - 0.1f; y += step)
            g.fillRect (juce::Rectangle<float> (area.getX(), y - 0.25f, area.getWidth(), 0.5f));
    }

    // Rounds the column off sideways, as if the segments were slightly domed.
    void drawColumnShading (juce::Graphics& g, juce::Rectangle<float> area)
    {
        juce::ColourGradient shade (juce::Colour (0x38000000), area.getX(), 0.0f, juce::Colour (0x38000000), area.getRight(), 0.0f, false);
        shade.addColour (0.4, juce::Colour (0x18ffffff));
        shade.addColour (0.6, juce::Colour (0x18ffffff));
        g.setGradientFill (shade);
        g.fillRect (area);
    }

    // Fills the lit colours of one column: `zones` lists (level in dB below full scale, colour)
    // from the top, each colour reaching down to the next level.
    void fillZones (juce::Graphics& g, juce::Rectangle<float> area, std::initializer_list<std::pair<float, juce::Colour>> zones)
    {
        const auto* zone = zones.begin();

        for (size_t i = 0; i < zones.size(); ++i, ++zone)
        {
            const auto top = area.getY() + meterOffsetForDb (zone->first);
            const auto bottom = (i + 1 < zones.size()) ? area.getY() + meterOffsetForDb ((zone + 1)->first) : area.getBottom();
            g.setColour (zone->second);
            g.fillRect (juce::Rectangle<float> (area.getX(), top, area.getWidth(), bottom - top));
        }
    }

    juce::String scaleNumber (int value)
    {
        if (value > 0)
            return "+" + juce::String (value);

        if (value < 0)
            return juce::String (juce::CharPointer_UTF8 ("\xe2\x88\x92")) + juce::String (-value); // a typographic minus

        return "0";
    }
} // namespace

juce::Image drawMeterOff (int logicalWidth, MeterLadder ladder)
{
    auto image = makeCanvas (logicalWidth, (int) meterHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    const juce::Rectangle<float> area (0.0f, 0.0f, (float) logicalWidth, meterHeight);
    g.setColour (juce::Colour (0xff2c2f34));
    g.fillRect (area);
    drawColumnShading (g, area);
    drawSegmentGaps (g, area, ladder, juce::Colour (0xff141517));
    return image;
}

juce::Image drawPeakMeterOn (int logicalWidth)
{
    auto image = makeCanvas (logicalWidth, (int) meterHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    const juce::Rectangle<float> area (0.0f, 0.0f, (float) logicalWidth, meterHeight);
    fillZones (g, area, { { 0.0f, Palette::meterRed }, { 3.0f, Palette::meterYellow }, { 12.0f, Palette::meterGreen } });
    drawColumnShading (g, area);
    drawSegmentGaps (g, area, MeterLadder::peak, juce::Colour (0xff1a1c1e));
    return image;
}

juce::Image drawGainReductionMeterOn (int logicalWidth)
{
    auto image = makeCanvas (logicalWidth, (int) meterHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    const juce::Rectangle<float> area (0.0f, 0.0f, (float) logicalWidth, meterHeight);
    g.setGradientFill ({ Palette::meterAmber, 0.0f, 0.0f, Palette::meterAmber.darker (0.25f), 0.0f, meterHeight, false });
    g.fillRect (area);
    drawColumnShading (g, area);
    drawSegmentGaps (g, area, MeterLadder::gainReduction, juce::Colour (0xff1a1c1e));
    return image;
}

juce::Image drawMainMeterOn()
{
    auto image = makeCanvas (columnWidth * 3, (int) meterHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    for (int column = 0; column < 3; ++column)
    {
        const juce::Rectangle<float> area ((float) (column * columnWidth), 0.0f, (float) columnWidth, meterHeight);
        const auto zero = kOffsets[column];
        fillZones (g, area, { { 0.0f, Palette::meterRed }, { zero - 4.0f, Palette::meterYellow }, { zero, Palette::meterGreen } });
        drawColumnShading (g, area);
        drawSegmentGaps (g, area, MeterLadder::main, juce::Colour (0xff1a1c1e));
    }

    return image;
}

juce::Image drawMeterScale()
{
    auto image = makeCanvas (columnWidth * 3, scaleHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    for (int column = 0; column < 3; ++column)
    {
        const auto zero = kOffsets[column];
        const auto centreX = (float) (column * columnWidth) + (float) columnWidth * 0.5f;

        // Numbers every 4 dB of the K-scale that fall inside the meters' 48 dB.
        const auto top = (int) zero;

        for (int mark = top - (((top % 4) + 4) % 4); (float) mark >= zero - meterRangeDb; mark -= 4)
        {
            const auto y = scaleMargin + meterOffsetForDb (zero - (float) mark);
            const auto box = juce::Rectangle<float> ((float) columnWidth, 10.0f).withCentre ({ centreX, y });
            drawText (g, scaleNumber (mark), box,
                      { 10.0f, mark == 0 ? Palette::ink : Palette::scaleText, juce::Justification::centred, 0.0f, mark == 0 ? 0.4f : 0.12f });
        }
    }

    return image;
}

juce::Image drawPointerBackground()
{
    constexpr float width = 110.0f;
    constexpr float height = 15.0f;

    auto image = makeCanvas ((int) width, (int) height);
    juce::Graphics g (image);
    useLogicalPixels (g);

    const juce::Rectangle<float> face (0.5f, 0.5f, width - 1.0f, height - 1.0f);
    g.setGradientFill ({ juce::Colour (0xffe9e6e1), 0.0f, 0.0f, Palette::windowFill, 0.0f, height, false });
    g.fillRoundedRectangle (face, 2.5f);
    g.setColour (Palette::windowEdge.darker (0.15f));
    g.drawRoundedRectangle (face, 2.5f, 1.0f);

    g.setColour (juce::Colour (0xffcfcac3));
    g.fillRect (juce::Rectangle<float> (3.0f, height * 0.5f - 0.5f, width - 6.0f, 1.0f));

    // The pointer's centre sits one pixel right of value x width, so the marks do too.
    for (int i = 0; i <= 4; ++i)
    {
        const auto x = juce::jlimit (2.0f, width - 2.0f, width * (float) i / 4.0f + 1.0f);
        const auto centreMark = i == 2;
        g.setColour (centreMark ? juce::Colour (0xff5d5953) : juce::Colour (0xffa19c95));
        const auto length = centreMark ? 10.0f : 6.0f;
        g.fillRect (juce::Rectangle<float> (1.0f, length).withCentre ({ x, height * 0.5f }));
    }

    return image;
}

juce::Image drawPointer (const juce::Array<juce::Colour>& frameColours)
{
    constexpr float width = 4.0f;
    constexpr float height = 15.0f;

    auto image = makeCanvas ((int) width * frameColours.size(), (int) height);
    juce::Graphics g (image);
    useLogicalPixels (g);

    for (int frame = 0; frame < frameColours.size(); ++frame)
    {
        const auto colour = frameColours[frame];
        const juce::Rectangle<float> body ((float) frame * width + 0.35f, 0.5f, width - 0.7f, height - 1.0f);
        g.setGradientFill ({ colour.brighter (0.35f), body.getX(), 0.0f, colour.darker (0.3f), body.getRight(), 0.0f, false });
        g.fillRoundedRectangle (body, 1.2f);
        g.setColour (colour.darker (0.8f));
        g.drawRoundedRectangle (body, 1.2f, 0.5f);
    }

    return image;
}

} // namespace KelvaneArtwork
