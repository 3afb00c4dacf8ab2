#include "osk_dsp/KernelSynthesiser.h"

#include "osk_dsp/BiquadSpectrum.h"
#include "osk_dsp/CascadeMagnitude.h"
#include "osk_dsp/PrototypeFilter.h"

#include "EqualiserBands.h"
#include "helpers/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

using namespace OSK::DSP;
using KelvaneTest::Cascade;
using KelvaneTest::designBand;
using KelvaneTest::numBands;
using KelvaneTest::Random;

//==============================================================================
namespace
{

constexpr double pi = 3.14159265358979323846;

/** The product's FFT size, kernel length and centre tap. */
struct Size
{
    int fftSize, kernelLength, centre;
};

const Size sizes[] = { { 1024, 769, 384 }, { 2048, 1537, 768 }, { 4096, 3073, 1536 } };

const double sampleRates[] = { 44100.0, 48000.0, 96000.0, 192000.0 };

std::string describe (const Size& size, double sampleRate)
{
    return std::to_string (size.fftSize) + " bins, " + std::to_string (size.kernelLength) + " taps at "
           + std::to_string (static_cast<int> (sampleRate)) + " Hz";
}

/** A Dolph–Chebyshev window of n taps (n odd) with side lobes 72 dB down, 1 at its centre. */
std::vector<double> chebyshevWindow (int n)
{
    const double ripple = std::pow (10.0, 72.0 / 20.0);
    const int centre = (n - 1) / 2;
    const double beta = std::cosh (std::acosh (ripple) / (n - 1));

    std::vector<double> terms (static_cast<std::size_t> (centre + 1), 0.0);
    double termSum = 0.0;

    for (int k = 1; k <= centre; ++k)
    {
        const double x = beta * std::cos (pi * k / n);
        const double t = std::abs (x) <= 1.0 ? std::cos ((n - 1) * std::acos (x)) : std::cosh ((n - 1) * std::acosh (x));
        terms[static_cast<std::size_t> (k)] = t;
        termSum += t;
    }

    std::vector<double> window (static_cast<std::size_t> (n));

    for (int m = 0; m <= centre; ++m)
    {
        double sum = 0.0;

        for (int k = 1; k <= centre; ++k)
            sum += terms[static_cast<std::size_t> (k)] * std::cos (2.0 * pi * ((k * m) % n) / n);

        const double value = (1.0 + 2.0 / ripple * sum) / (1.0 + 2.0 / ripple * termSum);
        window[static_cast<std::size_t> (centre + m)] = value;
        window[static_cast<std::size_t> (centre - m)] = value;
    }

    return window;
}

/** The window for one of sizes[], computed once per size. */
const std::vector<double>& windowFor (const Size& size)
{
    static std::vector<double> windows[3];
    const auto index = static_cast<std::size_t> (&size - sizes);

    if (windows[index].empty())
        windows[index] = chebyshevWindow (size.kernelLength);

    return windows[index];
}

/** The kernel as the equaliser synthesised it before: one idft per tap over the spectrum of the cascade, times the window. */
std::vector<double> tapByTapKernel (const std::vector<std::complex<double>>& spectrum, const Size& size, const std::vector<double>& window)
{
    std::vector<double> kernel (static_cast<std::size_t> (size.kernelLength));

    for (int n = 0; n < size.kernelLength; ++n)
        kernel[static_cast<std::size_t> (n)] = idft (spectrum, n) * window[static_cast<std::size_t> (n)];

    return kernel;
}

std::vector<double> tapByTapKernel (const double* cascade, double sampleRate, const Size& size, const std::vector<double>& window)
{
    std::vector<std::complex<double>> spectrum (static_cast<std::size_t> (size.fftSize));
    biquadCascadeToSpectrum (cascade, numBands, spectrum, sampleRate, static_cast<double> (size.centre));
    return tapByTapKernel (spectrum, size, window);
}

/** The largest tap difference relative to the reference kernel's largest tap. */
double relativeError (const std::vector<double>& fast, const std::vector<double>& reference)
{
    double largestTap = 0.0, largestDifference = 0.0;

    for (std::size_t n = 0; n < reference.size(); ++n)
    {
        largestTap = std::max (largestTap, std::abs (reference[n]));
        largestDifference = std::max (largestDifference, std::abs (fast[n] - reference[n]));
    }

    return largestDifference / largestTap;
}

constexpr double tolerance = 1.0e-12;

} // namespace

//==============================================================================
TEST (KernelSynthesiser, RejectsKernelsThatDoNotFit)
{
    struct Case
    {
        int fftSize, kernelLength, centre;
    };

    const Case cases[] = { { 1000, 769, 384 }, { 0, 1, 0 }, { 1024, 1025, 512 }, { 1024, 0, 0 },
                           { 1024, 769, 769 }, { 1024, 769, -1 } };

    KernelSynthesiser synthesiser;

    for (const auto& c : cases)
        EXPECT_THROW (synthesiser.prepare (c.fftSize, c.kernelLength, c.centre), std::invalid_argument)
            << c.fftSize << ", " << c.kernelLength << ", " << c.centre;
}

TEST (KernelSynthesiser, FlatMagnitudeGivesTheTruncatedImpulse)
{
    // Without the bin at M/2, a flat magnitude is not a clean impulse: the centre tap is (M − 1)/M
    // and every other tap ∓1/M, alternating.
    for (const auto& size : sizes)
    {
        SCOPED_TRACE (size.fftSize);

        KernelSynthesiser synthesiser;
        synthesiser.prepare (size.fftSize, size.kernelLength, size.centre);

        const std::vector<double> ones (static_cast<std::size_t> (size.fftSize / 2 + 1), 1.0);
        const std::vector<double> rectangle (static_cast<std::size_t> (size.kernelLength), 1.0);
        std::vector<double> kernel (static_cast<std::size_t> (size.kernelLength), -7.0);

        synthesiser.synthesise (ones.data(), rectangle.data(), kernel.data());

        const double m = size.fftSize;

        for (int n = 0; n < size.kernelLength; ++n)
        {
            const int j = n - size.centre;
            const double expected = j == 0 ? (m - 1.0) / m : ((j % 2 == 0) ? -1.0 : 1.0) / m;
            ASSERT_NEAR (kernel[static_cast<std::size_t> (n)], expected, 1.0e-15) << "tap " << n;
        }
    }
}

TEST (KernelSynthesiser, IgnoresTheBinAtHalfTheSize)
{
    Random random (8);

    for (const auto& size : sizes)
    {
        SCOPED_TRACE (size.fftSize);

        KernelSynthesiser synthesiser;
        synthesiser.prepare (size.fftSize, size.kernelLength, size.centre);

        std::vector<double> magnitudes (static_cast<std::size_t> (size.fftSize / 2 + 1));

        for (auto& m : magnitudes)
            m = 5.0 * random.uniform();

        const auto& window = windowFor (size);
        std::vector<double> withZero (window.size()), withNaN (window.size());

        magnitudes.back() = 0.0;
        synthesiser.synthesise (magnitudes.data(), window.data(), withZero.data());

        magnitudes.back() = std::numeric_limits<double>::quiet_NaN();
        synthesiser.synthesise (magnitudes.data(), window.data(), withNaN.data());

        for (std::size_t n = 0; n < window.size(); ++n)
            ASSERT_EQ (withZero[n], withNaN[n]) << "tap " << n;
    }
}

TEST (KernelSynthesiser, MatchesTheTapByTapSynthesisForAnyMagnitudeAndWindow)
{
    // The synthesis alone: arbitrary magnitudes on the spectrum's linear phase, an arbitrary window.
    Random random (1234);
    double largest = 0.0;

    for (const auto& size : sizes)
        for (const double sampleRate : sampleRates)
        {
            SCOPED_TRACE (describe (size, sampleRate));

            KernelSynthesiser synthesiser;
            synthesiser.prepare (size.fftSize, size.kernelLength, size.centre);

            for (int run = 0; run < 3; ++run)
            {
                std::vector<double> magnitudes (static_cast<std::size_t> (size.fftSize / 2 + 1));
                auto window = windowFor (size);

                for (auto& m : magnitudes)
                    m = 6.0 * random.uniform();

                // Any taper will do, as long as it keeps the centre tap the largest: white
                // magnitudes make every other tap noise, and there the reference's own rounding
                // (the linear phase ω·D reaches thousands of radians) is all that would be measured.
                for (auto& w : window)
                    w *= 0.5 + random.uniform();

                // Each bin's phase formed as the spectrum routine forms it, through the bin frequency.
                std::vector<std::complex<double>> spectrum (static_cast<std::size_t> (size.fftSize));

                for (int k = 0; k < size.fftSize; ++k)
                {
                    const double binFrequency = double (k) * (sampleRate / 2.0) / double (size.fftSize / 2);
                    const double w = 2.0 * pi * binFrequency / sampleRate;
                    const double magnitude = magnitudes[static_cast<std::size_t> (std::min (k, size.fftSize / 2))];
                    const double phase = w * size.centre;
                    spectrum[static_cast<std::size_t> (k)] = { magnitude * std::cos (phase), magnitude * std::sin (phase) };
                }

                std::vector<double> kernel (window.size());
                synthesiser.synthesise (magnitudes.data(), window.data(), kernel.data());

                const double error = relativeError (kernel, tapByTapKernel (spectrum, size, window));
                largest = std::max (largest, error);
                ASSERT_LT (error, tolerance) << "run " << run;
            }
        }

    std::cout << "[ measured ] largest relative kernel error, random magnitudes: " << largest << std::endl;
}

TEST (KernelSynthesiser, MatchesTheTapByTapSynthesisOfAutomatedBands)
{
    // The whole fast path against the whole straightforward one: band moves as automation makes
    // them, each followed by a kernel, with the product's window.
    Random random (99);
    double largest = 0.0;

    for (const auto& size : sizes)
        for (const double sampleRate : sampleRates)
        {
            SCOPED_TRACE (describe (size, sampleRate));

            const auto& window = windowFor (size);

            CascadeMagnitude magnitude;
            magnitude.prepare (size.fftSize, sampleRate);

            KernelSynthesiser synthesiser;
            synthesiser.prepare (size.fftSize, size.kernelLength, size.centre);

            Cascade cascade {};

            for (int band = 0; band < numBands; ++band)
                designBand (cascade.data() + 5 * band, band, sampleRate, random.uniform());

            magnitude.setCascade (cascade.data());

            std::vector<double> kernel (window.size());

            for (int move = 0; move < 6; ++move)
            {
                if (move > 0)
                {
                    const int band = random.below (numBands);
                    const double values[] = { 0.0, 1.0, 0.5, random.uniform() };
                    double* section = cascade.data() + 5 * band;

                    designBand (section, band, sampleRate, values[random.below (4)]);
                    magnitude.setSection (band, section);
                }

                synthesiser.synthesise (magnitude.getMagnitudes(), window.data(), kernel.data());

                const double error = relativeError (kernel, tapByTapKernel (cascade.data(), sampleRate, size, window));
                largest = std::max (largest, error);
                ASSERT_LT (error, tolerance) << "move " << move;
            }
        }

    std::cout << "[ measured ] largest relative kernel error, automated bands: " << largest << std::endl;
}

TEST (KernelSynthesiser, PreparingForAnotherSizeSynthesisesThatSize)
{
    KernelSynthesiser synthesiser;
    const auto& large = sizes[2];
    const auto& small = sizes[0];

    synthesiser.prepare (large.fftSize, large.kernelLength, large.centre);
    synthesiser.prepare (small.fftSize, small.kernelLength, small.centre);

    EXPECT_EQ (synthesiser.getFftSize(), small.fftSize);
    EXPECT_EQ (synthesiser.getKernelLength(), small.kernelLength);
    EXPECT_EQ (synthesiser.getCentre(), small.centre);

    Cascade cascade {};

    for (int band = 0; band < numBands; ++band)
        designBand (cascade.data() + 5 * band, band, 48000.0, 0.2 * band);

    CascadeMagnitude magnitude;
    magnitude.prepare (small.fftSize, 48000.0);
    magnitude.setCascade (cascade.data());

    const auto& window = windowFor (small);

    // Guard taps past the kernel catch a write beyond its length.
    std::vector<double> kernel (window.size() + 8, -3.0);
    synthesiser.synthesise (magnitude.getMagnitudes(), window.data(), kernel.data());

    for (std::size_t n = window.size(); n < kernel.size(); ++n)
        EXPECT_EQ (kernel[n], -3.0) << n;

    kernel.resize (window.size());
    EXPECT_LT (relativeError (kernel, tapByTapKernel (cascade.data(), 48000.0, small, window)), tolerance);
}

TEST (KernelSynthesiser, SynthesisDoesNotAllocate)
{
    for (const auto& size : sizes)
    {
        KernelSynthesiser synthesiser;
        synthesiser.prepare (size.fftSize, size.kernelLength, size.centre);

        const std::vector<double> magnitudes (static_cast<std::size_t> (size.fftSize / 2 + 1), 0.5);
        const auto& window = windowFor (size);
        std::vector<double> kernel (window.size());

        {
            KelvaneTest::ScopedAllocationCounter allocations;

            for (int run = 0; run < 3; ++run)
                synthesiser.synthesise (magnitudes.data(), window.data(), kernel.data());

            EXPECT_EQ (allocations.count(), 0) << size.fftSize;
        }

        EXPECT_NEAR (kernel[static_cast<std::size_t> (size.centre)], 0.5 * (size.fftSize - 1.0) / size.fftSize, 1.0e-15);
    }
}
