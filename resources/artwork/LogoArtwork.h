#pragma once

// The product logo: a knob-like mark ringed by the four section colours, the name "KELVANE" and
// the line "MASTERING CHAIN". The panel prints it small over the logo button; the About page
// prints it large.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** Draws the logo to fill the given box (aspect 145 : 40), in dark ink or, for dark grounds, light. */
void drawLogo (juce::Graphics& g, juce::Rectangle<float> box, bool onDarkGround);

/** Draws only the round mark of the logo, centred in the given square. */
void drawLogoMark (juce::Graphics& g, juce::Rectangle<float> square);

} // namespace KelvaneArtwork
