#include "osk_dsp/BiquadSpectrum.h"

#include "helpers/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <new>
#include <vector>

using namespace OSK::DSP;

//==============================================================================
namespace
{

constexpr double pi = 3.14159265358979323846;

using Spectrum = std::vector<std::complex<double>>;

/** Five stable sections (b0, b1, a1, b2, a2): high shelf, bell boost, bell cut, first-order high-pass, low shelf. */
const double cascade[25] =
{
    3.036325547,   -2.532167994, -1.26e-16,    0.6311145122,  0.1352720655,
    1.18371315,    -1.905812316, -1.887518275, 0.7590660734,  0.9244851827,
    0.8447992656,  -1.594574053, -1.610028845, 0.7810044034,  0.6412584613,
    1.876976463,   -1.876976463, -0.876976463, 0.0,           0.0,
    1.006615934,   -1.990276542, -1.990382934, 0.9839194154,  0.9904289574,
};

/** |H| of a cascade at the angle w, section by section on the unit circle. */
double cascadeMagnitude (const double* coefficients, int sections, double w)
{
    const auto z1 = std::polar (1.0, -w);
    const auto z2 = std::polar (1.0, -2.0 * w);
    double magnitude = 1.0;

    for (int i = 0; i < sections; ++i)
    {
        const double* c = coefficients + 5 * i;
        magnitude *= std::abs (c[0] + c[1] * z1 + c[3] * z2) / std::abs (1.0 + c[2] * z1 + c[4] * z2);
    }

    return magnitude;
}

} // namespace

//==============================================================================
TEST (BiquadSpectrum, UnitySectionsGiveThePureDelay)
{
    struct Case
    {
        int size;
        double delay;
    };

    const Case cases[] = { { 1024, 0.0 }, { 1024, 384.0 }, { 2048, 768.5 }, { 4096, 1536.0 } };

    double unity[25] = {};
    for (int i = 0; i < 5; ++i)
        unity[5 * i] = 1.0;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.size) + " bins, delay " + std::to_string (c.delay));

        Spectrum spectrum (static_cast<std::size_t> (c.size), { -7.0, -7.0 });
        biquadCascadeToSpectrum (unity, 5, spectrum, 48000.0, c.delay);

        ASSERT_EQ (spectrum.size(), static_cast<std::size_t> (c.size));

        for (int k = 0; k < c.size; ++k)
        {
            const auto& bin = spectrum[static_cast<std::size_t> (k)];

            if (c.delay == 0.0)
            {
                EXPECT_EQ (bin.real(), 1.0);
                EXPECT_EQ (bin.imag(), 0.0);
            }
            else
            {
                const auto expected = std::polar (1.0, 2.0 * pi * k * c.delay / c.size);
                EXPECT_NEAR (bin.real(), expected.real(), 1.0e-9);
                EXPECT_NEAR (bin.imag(), expected.imag(), 1.0e-9);
            }
        }
    }
}

TEST (BiquadSpectrum, EmptySpectrumStaysEmpty)
{
    Spectrum spectrum;
    biquadCascadeToSpectrum (cascade, 5, spectrum, 48000.0, 384.0);
    EXPECT_TRUE (spectrum.empty());
}

TEST (BiquadSpectrum, CascadeMagnitudeSurvivesOnTheLinearPhase)
{
    struct Case
    {
        int size;
        double sampleRate, delay;
    };

    const Case cases[] = { { 1024, 44100.0, 384.0 }, { 4096, 192000.0, 1536.0 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.size);

        Spectrum spectrum (static_cast<std::size_t> (c.size));
        biquadCascadeToSpectrum (cascade, 5, spectrum, c.sampleRate, c.delay);

        for (int k = 0; k < c.size; ++k)
        {
            const double w = 2.0 * pi * k / c.size;
            const auto& bin = spectrum[static_cast<std::size_t> (k)];
            const double expected = cascadeMagnitude (cascade, 5, w);

            EXPECT_NEAR (std::abs (bin), expected, 1.0e-9 * expected);

            // The phase is the delay's, whatever the cascade's own phase was (the high-pass
            // section makes bin 0 exactly zero, hence >= rather than >).
            const auto unwound = bin * std::polar (1.0, -w * c.delay);
            EXPECT_NEAR (unwound.imag(), 0.0, 1.0e-9 * expected);
            EXPECT_GE (unwound.real(), 0.0);
        }
    }
}

//==============================================================================
TEST (BiquadSpectrum, FlatSpectrumSynthesisesTheTruncatedImpulse)
{
    // The bins from M/2 upwards are never read, so a flat magnitude does not give a clean impulse.
    const Spectrum ones (1024, { 1.0, 0.0 });

    struct Case
    {
        int n;
        double expected;
    };

    const Case cases[] = { { 0, 1023.0 / 1024.0 }, { 1, 1.0 / 1024.0 }, { 2, -1.0 / 1024.0 }, { 3, 1.0 / 1024.0 } };

    for (const auto& c : cases)
        EXPECT_NEAR (idft (ones, c.n), c.expected, 1.0e-13) << "n = " << c.n;
}

TEST (BiquadSpectrum, SynthesisIsTheDelayedZeroPhaseResponse)
{
    const int size = 1024;
    const int delay = 384;

    Spectrum spectrum (size);
    biquadCascadeToSpectrum (cascade, 5, spectrum, 48000.0, double (delay));

    // Symmetric about the delay, across the whole period (n wraps below zero and above M).
    // "Within rounding" is about 1e-12 here: the bins' phases ω·D reach hundreds of radians.
    for (int j = 1; j < size; ++j)
        EXPECT_NEAR (idft (spectrum, delay - j), idft (spectrum, delay + j), 1.0e-11) << "j = " << j;

    // And equal to (1/M)·(|H_0| + 2·Σ |H_k|·cos(2πk(n − D)/M)) over k < M/2, so centred on +D, not −D.
    const int probes[] = { delay, delay + 1, delay - 50, 0, size - 1 };

    for (const int n : probes)
    {
        double sum = cascadeMagnitude (cascade, 5, 0.0);

        for (int k = 1; k < size / 2; ++k)
            sum += 2.0 * cascadeMagnitude (cascade, 5, 2.0 * pi * k / size) * std::cos (2.0 * pi * k * (n - delay) / size);

        EXPECT_NEAR (idft (spectrum, n), sum / size, 1.0e-11) << "n = " << n;
    }
}

TEST (BiquadSpectrum, RepeatedSynthesisIsIdenticalAndAllocatesNothing)
{
    const int sizes[] = { 1024, 2048, 4096 };
    std::vector<Spectrum> spectra;

    for (const int size : sizes)
    {
        spectra.emplace_back (static_cast<std::size_t> (size));
        biquadCascadeToSpectrum (cascade, 5, spectra.back(), 48000.0, size * 0.375);
    }

    // First pass: may build the tables.
    std::vector<double> first;
    for (const auto& spectrum : spectra)
        for (int n = 0; n < 200; ++n)
            first.push_back (idft (spectrum, n * 7));

    // Make sure the counter itself is live.
    {
        KelvaneTest::ScopedAllocationCounter counter;
        void* volatile probe = ::operator new (16);
        ::operator delete (probe);
        ASSERT_EQ (counter.count(), 1);
    }

    // Later passes, interleaving the sizes as the equaliser's two channels can, reuse the tables.
    std::vector<double> later (first.size());

    for (int pass = 0; pass < 2; ++pass)
    {
        KelvaneTest::ScopedAllocationCounter counter;

        for (int n = 0; n < 200; ++n)
            for (std::size_t s = 0; s < spectra.size(); ++s)
                later[s * 200 + static_cast<std::size_t> (n)] = idft (spectra[s], n * 7);

        EXPECT_EQ (counter.count(), 0) << "pass " << pass;

        for (std::size_t k = 0; k < first.size(); ++k)
            ASSERT_EQ (later[k], first[k]) << "value " << k;  // bit-identical
    }
}
