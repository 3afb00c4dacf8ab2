#pragma once

// Printed text on the artwork. Every text uses the interface typeface (Source Sans Pro Regular);
// headings are made heavier by tracing the outline of the letters with a thin pen, so the panel
// needs no second font file.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** How one piece of printed text looks. */
struct TextStyle
{
    float height = 10.0f;                                                  ///< font height in logical pixels
    juce::Colour colour { 0xff000000 };                                    ///< ink
    juce::Justification justification { juce::Justification::centred };  ///< placement in its box
    float tracking = 0.0f;                                                 ///< extra letter spacing, in ems
    float weight = 0.0f;                                                   ///< outline pen width that thickens the letters
};

/** Loads the interface typeface from its font file; call once before drawing any text. */
bool loadTypeface (const juce::File& fontFile);

/** The interface font at the given height (after loadTypeface). */
[[nodiscard]] juce::Font interfaceFont (float height);

/** Draws one line of text into a box in the style given. */
void drawText (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box, const TextStyle& style);

/** Draws text wrapped into lines no wider than the box, from its top edge; returns the height used. */
float drawParagraph (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box, const TextStyle& style,
                     float lineSpacing = 1.35f);

/** The width one line of text takes in the style given. */
[[nodiscard]] float textWidth (const juce::String& text, const TextStyle& style);

} // namespace KelvaneArtwork
