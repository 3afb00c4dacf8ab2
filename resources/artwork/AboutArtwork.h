#pragma once

// The About page (1040 x 670 logical pixels, 2080 x 1340 stored), shown over the whole panel. It
// is dark: the editor writes the version in its default light label colour near the top right.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** Draws the About page. */
[[nodiscard]] juce::Image drawAboutPage();

} // namespace KelvaneArtwork
