#pragma once

// The two buttons of the bottom bar, each two frames stacked: as shown, and while pressed. The bar
// is black, so they are drawn light on black.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** The maker's banner: 171 x 27 logical pixels per frame (342 x 108 pixels in all). */
[[nodiscard]] juce::Image drawBanner();

/** The settings button, a gear: 23 x 27 logical pixels per frame (46 x 108 pixels in all). */
[[nodiscard]] juce::Image drawSettingsButton();

} // namespace KelvaneArtwork
