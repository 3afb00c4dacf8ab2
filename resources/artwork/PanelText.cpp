#include "PanelText.h"

namespace KelvaneArtwork
{
namespace
{
    juce::Typeface::Ptr& typefaceSlot()
    {
        static juce::Typeface::Ptr typeface;
        return typeface;
    }

    juce::Font styledFont (const TextStyle& style)
    {
        auto font = interfaceFont (style.height);
        font.setExtraKerningFactor (style.tracking);
        return font;
    }
} // namespace

bool loadTypeface (const juce::File& fontFile)
{
    juce::MemoryBlock data;

    if (! fontFile.loadFileAsData (data))
        return false;

    typefaceSlot() = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
    return typefaceSlot() != nullptr;
}

juce::Font interfaceFont (float height)
{
    return juce::Font (typefaceSlot()).withHeight (height);
}

void drawText (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box, const TextStyle& style)
{
    // The letters become a path, so they can be placed at fractional positions and thickened.
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (styledFont (style), text, 0.0f, 0.0f);

    // Extra tracking leaves a space after the last letter; it must not count when centring.
    const auto bounds = glyphs.getBoundingBox (0, -1, true);
    const auto inkWidth = bounds.getWidth() - (text.isEmpty() ? 0.0f : style.tracking * style.height);
    const auto font = styledFont (style);
    const auto lineHeight = font.getAscent() * 0.67f; // the height of the capitals

    auto x = box.getX();

    if (style.justification.testFlags (juce::Justification::horizontallyCentred))
        x = box.getCentreX() - inkWidth * 0.5f;
    else if (style.justification.testFlags (juce::Justification::right))
        x = box.getRight() - inkWidth;

    auto baseline = box.getCentreY() + lineHeight * 0.5f;

    if (style.justification.testFlags (juce::Justification::top))
        baseline = box.getY() + lineHeight;
    else if (style.justification.testFlags (juce::Justification::bottom))
        baseline = box.getBottom();

    juce::Path path;
    glyphs.createPath (path);
    path.applyTransform (juce::AffineTransform::translation (x - bounds.getX(), baseline));

    g.setColour (style.colour);
    g.fillPath (path);

    if (style.weight > 0.0f)
        g.strokePath (path, juce::PathStrokeType (style.weight, juce::PathStrokeType::curved));
}

float drawParagraph (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box, const TextStyle& style,
                     float lineSpacing)
{
    const auto font = styledFont (style);
    juce::GlyphArrangement glyphs;
    glyphs.addJustifiedText (font, text, box.getX(), box.getY() + font.getAscent(), box.getWidth(),
                             style.justification, font.getHeight() * (lineSpacing - 1.0f));

    juce::Path path;
    glyphs.createPath (path);
    g.setColour (style.colour);
    g.fillPath (path);

    if (style.weight > 0.0f)
        g.strokePath (path, juce::PathStrokeType (style.weight, juce::PathStrokeType::curved));

    return glyphs.getBoundingBox (0, -1, true).getBottom() - box.getY();
}

float textWidth (const juce::String& text, const TextStyle& style)
{
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (styledFont (style), text, 0.0f, 0.0f);
    return glyphs.getBoundingBox (0, -1, true).getWidth() - (text.isEmpty() ? 0.0f : style.tracking * style.height);
}

} // namespace KelvaneArtwork
