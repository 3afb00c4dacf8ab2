#pragma once

// Meter images. A vertical meter draws its unlit image and, over it, the part of its lit image
// that its value reveals, so both images carry the same ladder of segments and the colours of the
// lit one sit at the levels they stand for. The vertical meters are 500 logical pixels high and
// show 48 dB; the scale between the two main meters is 510 high and starts 4 pixels above them,
// which leaves room for its outermost numbers.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** How finely a meter is divided into segments. */
enum class MeterLadder
{
    peak,          ///< 1 dB segments of the 48 dB peak scale
    gainReduction, ///< sixteenths of the height (3 dB of 48, or 1 dB of 16)
    main           ///< 2 dB segments, so every K-scale number sits on a segment edge
};

/** The unlit image of a vertical meter of the given logical width. */
[[nodiscard]] juce::Image drawMeterOff (int logicalWidth, MeterLadder ladder);

/** The lit image of a peak meter: green, then yellow from -12 dBFS and red from -3 dBFS. */
[[nodiscard]] juce::Image drawPeakMeterOn (int logicalWidth);

/** The lit image of a gain-reduction meter, which grows down from its top edge. */
[[nodiscard]] juce::Image drawGainReductionMeterOn (int logicalWidth);

/** The lit image of the main RMS meters: three 20-pixel columns for K-20, K-14 and K-12, each
    green below its 0 mark, yellow up to +4 and red above. */
[[nodiscard]] juce::Image drawMainMeterOn();

/** The scale between the main meters: three 20 x 510 columns numbered for K-20, K-14 and K-12. */
[[nodiscard]] juce::Image drawMeterScale();

/** The face of the balance and correlation meters, 110 x 15. */
[[nodiscard]] juce::Image drawPointerBackground();

/** A pointer of 4 x 15 logical pixels per frame, one frame per colour, side by side. */
[[nodiscard]] juce::Image drawPointer (const juce::Array<juce::Colour>& frameColours);

} // namespace KelvaneArtwork
