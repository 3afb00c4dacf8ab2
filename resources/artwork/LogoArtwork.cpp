#include "LogoArtwork.h"

#include "ArtworkStyle.h"
#include "PanelText.h"

namespace KelvaneArtwork
{
void drawLogoMark (juce::Graphics& g, juce::Rectangle<float> square)
{
    const auto centre = square.getCentre();
    const auto radius = square.getWidth() * 0.5f;

    // The ring: the four section colours in the order the signal meets them.
    const juce::Colour sections[] { Palette::expander, Palette::equaliser, Palette::compressor, Palette::limiter };
    const auto sweep = (knobEndAngle - knobStartAngle) / 4.0f;

    for (int i = 0; i < 4; ++i)
    {
        juce::Path arc;
        const auto from = knobStartAngle + sweep * (float) i + 0.06f;
        arc.addCentredArc (centre.x, centre.y, radius * 0.86f, radius * 0.86f, 0.0f, from, from + sweep - 0.12f, true);
        g.setColour (sections[i]);
        g.strokePath (arc, juce::PathStrokeType (radius * 0.2f, juce::PathStrokeType::curved, juce::PathStrokeType::butt));
    }

    // The cap with its pointer at full scale.
    const auto cap = juce::Rectangle<float> (radius * 1.2f, radius * 1.2f).withCentre (centre);
    g.setGradientFill ({ juce::Colour (0xff4a4d52), cap.getX(), cap.getY(), juce::Colour (0xff1c1d20), cap.getX(), cap.getBottom(), false });
    g.fillEllipse (cap);

    const auto angle = knobEndAngle;
    const auto tip = centre.getPointOnCircumference (radius * 0.55f, angle);
    const auto tail = centre.getPointOnCircumference (radius * 0.2f, angle);
    g.setColour (juce::Colours::white);
    g.drawLine ({ tail, tip }, radius * 0.14f);
}

void drawLogo (juce::Graphics& g, juce::Rectangle<float> box, bool onDarkGround)
{
    const auto unit = box.getHeight() / 40.0f;
    auto area = box;

    drawLogoMark (g, area.removeFromLeft (40.0f * unit).reduced (4.0f * unit));
    area.removeFromLeft (5.0f * unit);

    const auto nameColour = onDarkGround ? juce::Colour (0xfff2f0ec) : Palette::ink;
    const auto lineColour = onDarkGround ? juce::Colour (0xffa9a49c) : Palette::faintInk;

    drawText (g, "KELVANE", area.withHeight (24.0f * unit).withY (box.getY() + 4.0f * unit),
              { 23.0f * unit, nameColour, juce::Justification::centredLeft, 0.14f, 0.55f * unit });
    drawText (g, "MASTERING CHAIN", area.withHeight (10.0f * unit).withY (box.getY() + 27.0f * unit),
              { 8.6f * unit, lineColour, juce::Justification::centredLeft, 0.28f, 0.1f * unit });
}

} // namespace KelvaneArtwork
