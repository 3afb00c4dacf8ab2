#pragma once

namespace OSK
{
namespace DSP
{

/** The filter prototypes that prewarped() can design.

    Types 2-5 and 8-11 are bilinear designs pre-warped to their frequency;
    types 1, 6, 7, 12 and 13 are matched to the magnitude of their analog
    prototype at a few chosen frequencies. Any value outside 1..13 is
    treated as Gain.
*/
enum PrototypeFilterType : int
{
    Gain = 0,
    LowPass1,
    HighPass1,
    LowShelf1,
    HighShelf1,
    AllPass1,
    LowPass2,
    HighPass2,
    BandPass,
    Notch,
    AllPass2,
    LowShelf2,
    HighShelf2,
    Peak
};

/** Designs one section into coefficients[0..4] as b0, b1, a1, b2, a2 (a0 = 1, gain linear); stateless and allocation-free, so any thread. */
void prewarped (double* coefficients, PrototypeFilterType type, double sampleRate,
                double frequency, double q, double gain) noexcept;

} // namespace DSP
} // namespace OSK
