#include "osk_dsp/CascadeMagnitude.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>

#if defined(__SSE2__) || defined(_M_X64)
 #include <emmintrin.h>
 #define OSK_CASCADE_MAGNITUDE_SSE2 1
#endif

// The section pass is worth an AVX2 version (about half the time of SSE2 on an AVX2 machine).
// GCC builds both and picks one when the program loads, so the plug-in still runs on an x86-64
// without AVX2 and nothing needs a global -mavx2. Neither version contracts to FMA (AVX2 does not
// imply it), and vector and scalar IEEE arithmetic round alike, so every machine computes the same bits.
#if defined(__GNUC__) && ! defined(__clang__) && defined(__x86_64__) && defined(__linux__)
 #define OSK_CASCADE_MAGNITUDE_CLONES __attribute__ ((target_clones ("avx2", "default")))
#else
 #define OSK_CASCADE_MAGNITUDE_CLONES
#endif

namespace OSK::DSP
{
namespace
{
    constexpr double pi = 3.14159265358979323846;

    /** gains[k] = |b0 + b1·e^(−iω) + b2·e^(−2iω)|² / |1 + a1·e^(−iω) + a2·e^(−2iω)|² at the bins' ω.

        The real and imaginary parts are summed exactly as biquadCascadeToSpectrum sums them, from
        the same cosines and sines, so they round identically. That matters: near DC a low shelf's
        1 + a1·cos ω + a2·cos 2ω cancels to a tiny number, and any other formula for it (say
        cos 2ω from cos ω) would change its relative value by far more than the rest rounds.
    */
    OSK_CASCADE_MAGNITUDE_CLONES
    void sectionSquaredMagnitude (const double* __restrict cos1, const double* __restrict sin1,
                                  const double* __restrict cos2, const double* __restrict sin2,
                                  double b0, double b1, double a1, double b2, double a2,
                                  double* __restrict gains, int numBins) noexcept
    {
        for (int k = 0; k < numBins; ++k)
        {
            const double numeratorRe = b0 + b1 * cos1[k] + b2 * cos2[k];
            const double numeratorIm = b1 * sin1[k] + b2 * sin2[k];
            const double denominatorRe = 1.0 + a1 * cos1[k] + a2 * cos2[k];
            const double denominatorIm = a1 * sin1[k] + a2 * sin2[k];

            gains[k] = (numeratorRe * numeratorRe + numeratorIm * numeratorIm)
                     / (denominatorRe * denominatorRe + denominatorIm * denominatorIm);
        }
    }

    /** magnitudes[k] = √(g0[k]·g1[k]·g2[k]·g3[k]·g4[k]), multiplied in that order. */
    void productRoot (const double* __restrict g0, const double* __restrict g1, const double* __restrict g2,
                      const double* __restrict g3, const double* __restrict g4,
                      double* __restrict magnitudes, int numBins) noexcept
    {
        int k = 0;

#if OSK_CASCADE_MAGNITUDE_SSE2
        // std::sqrt may have to set errno, which keeps GCC from vectorising it without
        // -fno-math-errno; the products are never negative, so the packed square root gives the
        // same correctly rounded values at twice the speed. A wider one gains nothing here, as
        // the square-root unit is the limit.
        for (; k + 2 <= numBins; k += 2)
        {
            auto product = _mm_mul_pd (_mm_loadu_pd (g0 + k), _mm_loadu_pd (g1 + k));
            product = _mm_mul_pd (product, _mm_loadu_pd (g2 + k));
            product = _mm_mul_pd (product, _mm_loadu_pd (g3 + k));
            product = _mm_mul_pd (product, _mm_loadu_pd (g4 + k));
            _mm_storeu_pd (magnitudes + k, _mm_sqrt_pd (product));
        }
#endif

        for (; k < numBins; ++k)
            magnitudes[k] = std::sqrt (g0[k] * g1[k] * g2[k] * g3[k] * g4[k]);
    }
} // namespace

//==============================================================================
void CascadeMagnitude::prepare (int newFftSize, double sampleRate)
{
    if (newFftSize < 2 || (newFftSize & (newFftSize - 1)) != 0)
        throw std::invalid_argument ("CascadeMagnitude: the FFT size must be a power of two of at least 2");

    fftSize = newFftSize;
    numBins = fftSize / 2 + 1;

    const auto bins = static_cast<std::size_t> (numBins);
    cos1.resize (bins);
    sin1.resize (bins);
    cos2.resize (bins);
    sin2.resize (bins);

    for (std::size_t k = 0; k < bins; ++k)
    {
        // The bin's angle through its frequency in hertz, as biquadCascadeToSpectrum forms it: the
        // rounding then matches that routine's to the last bit (see sectionSquaredMagnitude).
        const double binFrequency = double (k) * (sampleRate / 2.0) / double (fftSize / 2);
        const double w = 2.0 * pi * binFrequency / sampleRate;

        cos1[k] = std::cos (w);
        sin1[k] = std::sin (w);
        cos2[k] = std::cos (2.0 * w);
        sin2[k] = std::sin (2.0 * w);
    }

    // Unity sections, so that the object is a valid flat cascade until the first band arrives.
    sectionGains.assign (static_cast<std::size_t> (numSections) * bins, 1.0);
    magnitudes.assign (bins, 1.0);
}

void CascadeMagnitude::setCascade (const double* coefficients) noexcept
{
    for (int section = 0; section < numSections; ++section)
        computeSection (section, coefficients + 5 * section);

    computeMagnitudes();
}

void CascadeMagnitude::setSection (int section, const double* sectionCoefficients) noexcept
{
    computeSection (section, sectionCoefficients);
    computeMagnitudes();
}

void CascadeMagnitude::computeSection (int section, const double* c) noexcept
{
    double* gains = sectionGains.data() + static_cast<std::size_t> (section) * static_cast<std::size_t> (numBins);

    sectionSquaredMagnitude (cos1.data(), sin1.data(), cos2.data(), sin2.data(),
                             c[0], c[1], c[2], c[3], c[4], gains, numBins);
}

void CascadeMagnitude::computeMagnitudes() noexcept
{
    const auto row = static_cast<std::size_t> (numBins);
    const double* g = sectionGains.data();

    // Squared magnitudes multiply to the squared magnitude of the cascade, so one square root per
    // bin replaces the reference's complex divisions, products and hypot.
    static_assert (numSections == 5, "productRoot multiplies exactly five rows");
    productRoot (g, g + row, g + 2 * row, g + 3 * row, g + 4 * row, magnitudes.data(), numBins);
}

} // namespace OSK::DSP
