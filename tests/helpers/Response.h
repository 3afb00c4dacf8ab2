#pragma once

// Response measurement for tests: the magnitude of a measured impulse response at a frequency
// (a single-bin DFT), the magnitude of a biquad cascade evaluated on its own, and decibels.

#include <cmath>
#include <complex>
#include <vector>

namespace KelvaneTest
{
constexpr double pi = 3.14159265358979323846;

inline double decibels (double gain) { return 20.0 * std::log10 (gain); }

/** |Σ h[n]·e^(−iωn)| at the given frequency. */
inline double magnitudeAt (const std::vector<double>& impulseResponse, double frequency, double sampleRate)
{
    const double w = 2.0 * pi * frequency / sampleRate;
    std::complex<double> sum;

    for (size_t n = 0; n < impulseResponse.size(); ++n)
        sum += impulseResponse[n] * std::polar (1.0, -w * static_cast<double> (n));

    return std::abs (sum);
}

/** |H(e^(iω))| of consecutive sections b0, b1, a1, b2, a2 (a0 = 1). */
inline double cascadeMagnitude (const double* sections, int count, double frequency, double sampleRate)
{
    const double w = 2.0 * pi * frequency / sampleRate;
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    std::complex<double> h (1.0);

    for (int s = 0; s < count; ++s)
    {
        const double* k = sections + 5 * s;
        h *= (k[0] + k[1] * z1 + k[3] * z2) / (1.0 + k[2] * z1 + k[4] * z2);
    }

    return std::abs (h);
}

/** Frequencies spread logarithmically from lo to hi. */
inline std::vector<double> logFrequencies (double lo, double hi, int count)
{
    std::vector<double> result;

    for (int i = 0; i < count; ++i)
        result.push_back (lo * std::pow (hi / lo, i / static_cast<double> (count - 1)));

    return result;
}
} // namespace KelvaneTest
