#include "osk_dsp/CascadeMagnitude.h"

#include "osk_dsp/BiquadSpectrum.h"
#include "osk_dsp/PrototypeFilter.h"

#include "EqualiserBands.h"
#include "helpers/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <iostream>
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

/** The product's FFT sizes and the sample rates it meets. */
struct Case
{
    int fftSize;
    double sampleRate;
};

const Case cases[] = {
    { 1024, 44100.0 },  { 1024, 48000.0 },  { 1024, 96000.0 },  { 1024, 192000.0 },
    { 2048, 44100.0 },  { 2048, 48000.0 },  { 2048, 96000.0 },  { 2048, 192000.0 },
    { 4096, 44100.0 },  { 4096, 48000.0 },  { 4096, 96000.0 },  { 4096, 192000.0 },
};

std::string describe (const Case& c)
{
    return std::to_string (c.fftSize) + " bins at " + std::to_string (static_cast<int> (c.sampleRate)) + " Hz";
}

Cascade randomCascade (Random& random, double sampleRate)
{
    Cascade cascade {};

    for (int band = 0; band < numBands; ++band)
        designBand (cascade.data() + 5 * band, band, sampleRate, random.bandValue());

    return cascade;
}

/** |H_k| for k = 0..M/2 from the straightforward complex spectrum; with no delay the phase is exactly zero. */
std::vector<double> referenceMagnitudes (const double* coefficients, int fftSize, double sampleRate)
{
    std::vector<std::complex<double>> spectrum (static_cast<std::size_t> (fftSize));
    biquadCascadeToSpectrum (coefficients, numBands, spectrum, sampleRate, 0.0);

    std::vector<double> magnitudes (static_cast<std::size_t> (fftSize / 2 + 1));

    for (std::size_t k = 0; k < magnitudes.size(); ++k)
        magnitudes[k] = spectrum[k].real();

    return magnitudes;
}

/** The largest |fast − reference| / reference over all bins. */
double largestRelativeError (const CascadeMagnitude& fast, const std::vector<double>& reference)
{
    double largest = 0.0;

    for (int k = 0; k < fast.getNumBins(); ++k)
    {
        const double expected = reference[static_cast<std::size_t> (k)];
        largest = std::max (largest, std::abs (fast.getMagnitudes()[k] - expected) / expected);
    }

    return largest;
}

constexpr double tolerance = 1.0e-12;

} // namespace

//==============================================================================
TEST (CascadeMagnitude, PreparedObjectIsFlat)
{
    for (const int fftSize : { 2, 1024, 2048, 4096 })
    {
        CascadeMagnitude magnitude;
        magnitude.prepare (fftSize, 48000.0);

        ASSERT_EQ (magnitude.getFftSize(), fftSize);
        ASSERT_EQ (magnitude.getNumBins(), fftSize / 2 + 1);

        for (int k = 0; k < magnitude.getNumBins(); ++k)
            ASSERT_EQ (magnitude.getMagnitudes()[k], 1.0) << fftSize << " bins, bin " << k;
    }
}

TEST (CascadeMagnitude, RejectsSizesThatAreNotPowersOfTwo)
{
    CascadeMagnitude magnitude;

    for (const int fftSize : { -4, 0, 1, 3, 1000 })
        EXPECT_THROW (magnitude.prepare (fftSize, 48000.0), std::invalid_argument) << fftSize;
}

TEST (CascadeMagnitude, UnitySectionsGiveExactlyOne)
{
    Cascade unity {};

    for (int band = 0; band < numBands; ++band)
        unity[static_cast<std::size_t> (5 * band)] = 1.0;

    for (const auto& c : cases)
    {
        CascadeMagnitude magnitude;
        magnitude.prepare (c.fftSize, c.sampleRate);
        magnitude.setSection (2, (Cascade { 2.0, 0.0, 0.0, 0.0, 0.0 }).data());
        magnitude.setCascade (unity.data());

        for (int k = 0; k < magnitude.getNumBins(); ++k)
            ASSERT_EQ (magnitude.getMagnitudes()[k], 1.0) << describe (c) << ", bin " << k;
    }
}

TEST (CascadeMagnitude, MatchesTheComplexSpectrumForRandomSettings)
{
    Random random (20240901);
    double largest = 0.0;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (describe (c));

        CascadeMagnitude magnitude;
        magnitude.prepare (c.fftSize, c.sampleRate);

        for (int run = 0; run < 40; ++run)
        {
            const auto cascade = randomCascade (random, c.sampleRate);
            magnitude.setCascade (cascade.data());

            const double error = largestRelativeError (magnitude, referenceMagnitudes (cascade.data(), c.fftSize, c.sampleRate));
            largest = std::max (largest, error);
            ASSERT_LT (error, tolerance) << "run " << run;
        }
    }

    std::cout << "[ measured ] largest relative magnitude error, random settings: " << largest << std::endl;
}

TEST (CascadeMagnitude, MatchesTheComplexSpectrumAtTheExtremes)
{
    struct Setting
    {
        const char* name;
        double values[numBands];
    };

    const Setting settings[] = {
        { "all +15 dB", { 1.0, 1.0, 1.0, 1.0, 1.0 } },
        { "all -15 dB", { 0.0, 0.0, 0.0, 0.0, 0.0 } },
        { "alternating", { 1.0, 0.0, 1.0, 0.0, 1.0 } },
        { "alternating the other way", { 0.0, 1.0, 0.0, 1.0, 0.0 } },
        { "flat (bells at a boost of 1.000001)", { 0.5, 0.5, 0.5, 0.5, 0.5 } },
        { "shelves only", { 1.0, 0.5, 0.5, 0.5, 0.0 } },
        { "a hair off flat", { 0.5000001, 0.4999999, 0.5000001, 0.4999999, 0.5000001 } },
    };

    double largest = 0.0;

    for (const auto& c : cases)
        for (const auto& setting : settings)
        {
            SCOPED_TRACE (describe (c) + ", " + setting.name);

            Cascade cascade {};

            for (int band = 0; band < numBands; ++band)
                designBand (cascade.data() + 5 * band, band, c.sampleRate, setting.values[band]);

            CascadeMagnitude magnitude;
            magnitude.prepare (c.fftSize, c.sampleRate);
            magnitude.setCascade (cascade.data());

            const double error = largestRelativeError (magnitude, referenceMagnitudes (cascade.data(), c.fftSize, c.sampleRate));
            largest = std::max (largest, error);
            EXPECT_LT (error, tolerance);
        }

    std::cout << "[ measured ] largest relative magnitude error, extreme settings: " << largest << std::endl;
}

TEST (CascadeMagnitude, MatchesTheComplexSpectrumForAnyStableSection)
{
    // Sections beyond the product's bands: conjugate or real pole pairs up to radius 0.999, zeros
    // inside or outside the unit circle, each section scaled to a gain between 1/5.7 and 5.7 at DC.
    Random random (77);
    double largest = 0.0;

    const auto randomRootPair = [&random] (double maxRadius, double& sum, double& product)
    {
        if (random.below (2) == 0)
        {
            const double radius = maxRadius * random.uniform();
            const double angle = pi * random.uniform();
            sum = 2.0 * radius * std::cos (angle);
            product = radius * radius;
        }
        else
        {
            const double r1 = maxRadius * (2.0 * random.uniform() - 1.0);
            const double r2 = maxRadius * (2.0 * random.uniform() - 1.0);
            sum = r1 + r2;
            product = r1 * r2;
        }
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (describe (c));

        CascadeMagnitude magnitude;
        magnitude.prepare (c.fftSize, c.sampleRate);

        for (int run = 0; run < 30; ++run)
        {
            Cascade cascade {};

            for (int section = 0; section < numBands; ++section)
            {
                double poleSum = 0.0, poleProduct = 0.0, zeroSum = 0.0, zeroProduct = 0.0;
                randomRootPair (0.999, poleSum, poleProduct);
                randomRootPair (1.2, zeroSum, zeroProduct);

                const double gain = std::pow (5.7, 2.0 * random.uniform() - 1.0);
                const double denominatorAtDc = 1.0 - poleSum + poleProduct;
                const double numeratorAtDc = 1.0 - zeroSum + zeroProduct;

                // A zero right at DC would make the scaling meaningless; keep such a section unscaled.
                const double scale = std::abs (numeratorAtDc) > 1.0e-3 ? gain * denominatorAtDc / numeratorAtDc : gain;

                double* s = cascade.data() + 5 * section;
                s[0] = scale;
                s[1] = -scale * zeroSum;
                s[2] = -poleSum;
                s[3] = scale * zeroProduct;
                s[4] = poleProduct;
            }

            magnitude.setCascade (cascade.data());

            const auto reference = referenceMagnitudes (cascade.data(), c.fftSize, c.sampleRate);

            // Bins where the cascade is within rounding of a zero say nothing about relative accuracy.
            const double peak = *std::max_element (reference.begin(), reference.end());
            double error = 0.0;

            for (int k = 0; k < magnitude.getNumBins(); ++k)
            {
                const double expected = reference[static_cast<std::size_t> (k)];

                if (expected > 1.0e-6 * peak)
                    error = std::max (error, std::abs (magnitude.getMagnitudes()[k] - expected) / expected);
            }

            largest = std::max (largest, error);
            ASSERT_LT (error, tolerance) << "run " << run;
        }
    }

    std::cout << "[ measured ] largest relative magnitude error, random stable sections: " << largest << std::endl;
}

TEST (CascadeMagnitude, SingleSectionUpdatesEqualFullRecomputation)
{
    Random random (5);
    double largest = 0.0;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (describe (c));

        auto cascade = randomCascade (random, c.sampleRate);

        CascadeMagnitude automated;
        automated.prepare (c.fftSize, c.sampleRate);
        automated.setCascade (cascade.data());

        CascadeMagnitude recomputed;
        recomputed.prepare (c.fftSize, c.sampleRate);

        // Automation: one band at a time, sometimes the same band many times in a row.
        int band = 0;

        for (int move = 0; move < 60; ++move)
        {
            if (random.below (3) != 0)
                band = random.below (numBands);

            double* section = cascade.data() + 5 * band;
            designBand (section, band, c.sampleRate, random.bandValue());

            automated.setSection (band, section);
            recomputed.setCascade (cascade.data());

            // The same arithmetic in the same order, so the very same bits.
            for (int k = 0; k < automated.getNumBins(); ++k)
                ASSERT_EQ (automated.getMagnitudes()[k], recomputed.getMagnitudes()[k]) << "move " << move << ", bin " << k;

            if (move % 6 == 5)
            {
                const double error = largestRelativeError (automated, referenceMagnitudes (cascade.data(), c.fftSize, c.sampleRate));
                largest = std::max (largest, error);
                ASSERT_LT (error, tolerance) << "move " << move;
            }
        }
    }

    std::cout << "[ measured ] largest relative magnitude error, automated bands: " << largest << std::endl;
}

TEST (CascadeMagnitude, PreparingAgainStartsFlatAtTheNewSize)
{
    Random random (3);
    CascadeMagnitude magnitude;

    magnitude.prepare (4096, 192000.0);
    magnitude.setCascade (randomCascade (random, 192000.0).data());

    magnitude.prepare (1024, 44100.0);
    ASSERT_EQ (magnitude.getNumBins(), 513);

    for (int k = 0; k < magnitude.getNumBins(); ++k)
        ASSERT_EQ (magnitude.getMagnitudes()[k], 1.0) << "bin " << k;

    // One band on a flat cascade is that band alone.
    Cascade cascade {};

    for (int band = 0; band < numBands; ++band)
        cascade[static_cast<std::size_t> (5 * band)] = 1.0;

    designBand (cascade.data() + 5, 1, 44100.0, 0.9);
    magnitude.setSection (1, cascade.data() + 5);

    EXPECT_LT (largestRelativeError (magnitude, referenceMagnitudes (cascade.data(), 1024, 44100.0)), tolerance);
}

TEST (CascadeMagnitude, AudioThreadCallsDoNotAllocate)
{
    Random random (11);

    for (const auto& c : cases)
    {
        CascadeMagnitude magnitude;
        magnitude.prepare (c.fftSize, c.sampleRate);

        const auto cascade = randomCascade (random, c.sampleRate);
        double sum = 0.0;

        KelvaneTest::ScopedAllocationCounter allocations;

        magnitude.setCascade (cascade.data());

        for (int band = 0; band < numBands; ++band)
            magnitude.setSection (band, cascade.data() + 5 * band);

        sum += magnitude.getMagnitudes()[magnitude.getNumBins() - 1];

        EXPECT_EQ (allocations.count(), 0) << describe (c);
        EXPECT_TRUE (std::isfinite (sum));
    }
}
