#pragma once

// Shared by the spectrum tests: a reproducible random source and the product's five equaliser
// bands, designed exactly as the equaliser designs them.

#include "osk_dsp/PrototypeFilter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <random>

namespace KelvaneTest
{
constexpr int numBands = 5;

/** One channel's five biquad sections, five coefficients each. */
using Cascade = std::array<double, 5 * numBands>;

/** A reproducible source of uniform doubles in [0, 1), the same on every standard library. */
class Random
{
public:
    explicit Random (std::uint64_t seed) : engine (seed) {}

    double uniform() { return static_cast<double> (engine() >> 11) * 0x1.0p-53; }

    int below (int n) { return static_cast<int> (uniform() * n); }

    /** A band's normalised gain: mostly anywhere, sometimes one of the values automation parks on. */
    double bandValue()
    {
        const double parked[] = { 0.0, 1.0, 0.5 };
        const int pick = below (8);
        return pick < 3 ? parked[pick] : uniform();
    }

private:
    std::mt19937_64 engine;
};

/** Designs band 0..4 into section as the equaliser does: gain v ∈ [0, 1] for −15..+15 dB, a cut as the boost's reciprocal. */
inline void designBand (double* section, int band, double sampleRate, double value)
{
    using namespace OSK::DSP;

    const PrototypeFilterType types[numBands] = { HighShelf2, Peak, Peak, Peak, LowShelf2 };
    const double frequencies[numBands] = { 12000.0, 4500.0, 1500.0, 450.0, 80.0 };

    const double boost = std::pow (10.0, (30.0 * value - 15.0) / 20.0);
    const double factor = boost > 1.0 ? boost : 1.0 / boost;
    const double q = (band >= 1 && band <= 3) ? factor / 9.0 * 4.0 : 0.7071067811865475;

    prewarped (section, types[band], sampleRate, frequencies[band], q, factor);

    if (boost < 1.0)
    {
        const double b0 = section[0], b1 = section[1], a1 = section[2], b2 = section[3], a2 = section[4];
        section[0] = 1.0 / b0;
        section[1] = a1 / b0;
        section[2] = b1 / b0;
        section[3] = a2 / b0;
        section[4] = b2 / b0;
    }
}
} // namespace KelvaneTest
