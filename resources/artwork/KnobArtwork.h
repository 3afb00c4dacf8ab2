#pragma once

// Knob film strips: 101 frames of 72 x 72 logical pixels stacked top to bottom, frame i showing
// the pointer at i / 100 of JUCE's default rotary arc, so a knob dragged in circular mode follows
// the drawn pointer. The face is kept plain in the middle, where the editor prints the caption.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** What sets one section's knobs apart. */
struct KnobLook
{
    juce::Colour accent;          ///< the value arc and the pointer's tip
    juce::Colour capTint;         ///< a faint tint mixed into the dark cap
    bool arcFromCentre = false;   ///< the value arc starts at twelve o'clock (gain knobs around 0 dB)
};

/** Draws a whole film strip (144 x 14544 pixels). */
[[nodiscard]] juce::Image drawKnobStrip (const KnobLook& look);

} // namespace KelvaneArtwork
