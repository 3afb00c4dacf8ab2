#pragma once

// Switch lamps: a round lens in a dark bezel, 12 x 12 logical pixels, the unlit frame on top of
// the lit one (24 x 48 pixels in all).

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** Draws a two-frame lamp whose lit lens has the given colour. */
[[nodiscard]] juce::Image drawSwitch (juce::Colour litColour);

} // namespace KelvaneArtwork
