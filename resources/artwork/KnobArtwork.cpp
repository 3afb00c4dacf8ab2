#include "KnobArtwork.h"

#include "ArtworkStyle.h"

namespace KelvaneArtwork
{
namespace
{
    constexpr float centre = (float) knobSize * 0.5f;
    constexpr float arcRadius = 33.0f;
    constexpr float arcThickness = 3.0f;
    constexpr float skirtRadius = 28.0f;
    constexpr float capRadius = 24.0f;
    constexpr float pointerInner = 19.5f;
    constexpr float pointerOuter = 27.0f;

    juce::Path arcPath (float from, float to)
    {
        juce::Path arc;
        arc.addCentredArc (centre, centre, arcRadius, arcRadius, 0.0f, from, to, true);
        return arc;
    }

    // Everything that does not move: the groove of the value arc, the shadow, skirt and cap.
    void drawStaticParts (juce::Graphics& g, const KnobLook& look)
    {
        const juce::PathStrokeType grooveStroke (arcThickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
        g.setColour (juce::Colour (0x2a000000));
        g.strokePath (arcPath (knobStartAngle, knobEndAngle), grooveStroke);

        if (look.arcFromCentre)
        {
            // A notch at twelve o'clock marks 0 dB.
            g.setColour (juce::Colour (0x66000000));
            g.fillRect (juce::Rectangle<float> (1.2f, 3.4f).withCentre ({ centre, centre - arcRadius }));
        }

        juce::Path skirt;
        skirt.addEllipse (juce::Rectangle<float> (skirtRadius * 2.0f, skirtRadius * 2.0f).withCentre ({ centre, centre }));
        juce::DropShadow (juce::Colour (0x70000000), 5, { 0, 2 }).drawForPath (g, skirt);

        // The skirt is lit from above; the cap is slightly dished, so its shading runs the other way.
        g.setGradientFill ({ juce::Colour (0xff55585d), centre, centre - skirtRadius,
                             juce::Colour (0xff141517), centre, centre + skirtRadius, false });
        g.fillPath (skirt);

        const auto cap = juce::Rectangle<float> (capRadius * 2.0f, capRadius * 2.0f).withCentre ({ centre, centre });
        const auto capTop = juce::Colour (0xff1d1e21).interpolatedWith (look.capTint, 0.06f);
        const auto capBottom = juce::Colour (0xff35383c).interpolatedWith (look.capTint, 0.1f);
        g.setGradientFill ({ capTop, centre, cap.getY(), capBottom, centre, cap.getBottom(), false });
        g.fillEllipse (cap);

        g.setColour (juce::Colour (0x30ffffff));
        g.drawEllipse (cap.reduced (0.4f), 0.8f);
        g.setColour (juce::Colour (0x55000000));
        g.drawEllipse (juce::Rectangle<float> (skirtRadius * 2.0f, skirtRadius * 2.0f).withCentre ({ centre, centre }), 0.7f);
    }

    void drawMovingParts (juce::Graphics& g, const KnobLook& look, float proportion)
    {
        const auto angle = knobStartAngle + proportion * (knobEndAngle - knobStartAngle);
        const auto from = look.arcFromCentre ? juce::MathConstants<float>::twoPi : knobStartAngle;

        if (std::abs (angle - from) > 0.01f)
        {
            g.setColour (look.accent);
            g.strokePath (arcPath (juce::jmin (from, angle), juce::jmax (from, angle)),
                          juce::PathStrokeType (arcThickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        }

        const juce::Point<float> middle { centre, centre };
        const juce::Line<float> pointer { middle.getPointOnCircumference (pointerInner, angle),
                                          middle.getPointOnCircumference (pointerOuter, angle) };

        juce::Path line;
        line.startNewSubPath (pointer.getStart());
        line.lineTo (pointer.getEnd());
        juce::Path rounded;
        juce::PathStrokeType (2.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded).createStrokedPath (rounded, line);

        g.setColour (juce::Colour (0x66000000));
        g.fillPath (rounded, juce::AffineTransform::translation (0.0f, 0.6f));
        g.setColour (juce::Colour (0xfff4f4f2));
        g.fillPath (rounded);

        // The outer end carries the section colour, so a glance tells the sections apart.
        g.setColour (look.accent.brighter (0.2f));
        g.fillEllipse (juce::Rectangle<float> (2.4f, 2.4f).withCentre (middle.getPointOnCircumference (pointerOuter - 0.6f, angle)));
    }
} // namespace

juce::Image drawKnobStrip (const KnobLook& look)
{
    auto face = makeCanvas (knobSize, knobSize);
    {
        juce::Graphics g (face);
        useLogicalPixels (g);
        drawStaticParts (g, look);
    }

    auto strip = makeCanvas (knobSize, knobSize * knobFrames);
    juce::Graphics g (strip);

    for (int frame = 0; frame < knobFrames; ++frame)
    {
        const auto top = frame * face.getHeight();
        g.drawImageAt (face, 0, top);

        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (0, top, face.getWidth(), face.getHeight());
        g.addTransform (juce::AffineTransform::scale (density).translated (0.0f, (float) top));
        drawMovingParts (g, look, (float) frame / (float) (knobFrames - 1));
    }

    return strip;
}

} // namespace KelvaneArtwork
