#pragma once

// The printed panel behind the controls (1040 x 670 logical pixels, 2080 x 1340 stored): section
// plates and headings, value windows under the knobs, captions beside the switches, wells and
// scales for the meters, the field behind the meter-scale list and the product logo. It is drawn
// for the editor's fixed layout, so the positions below are those of the controls on the panel.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** Draws the whole panel. */
[[nodiscard]] juce::Image drawBackground();

} // namespace KelvaneArtwork
