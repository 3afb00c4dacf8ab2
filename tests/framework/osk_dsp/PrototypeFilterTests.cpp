#include "osk_dsp/PrototypeFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>

using namespace OSK::DSP;

namespace
{

constexpr double pi = 3.14159265358979323846;

double fromDecibels (double db) { return std::pow (10.0, db / 20.0); }

/** Digital magnitude of a stored section (b0, b1, a1, b2, a2) at the angle w, evaluated on the unit circle. */
double magnitudeAt (const double* c, double w)
{
    const auto z1 = std::polar (1.0, -w);
    const auto z2 = std::polar (1.0, -2.0 * w);
    return std::abs (c[0] + c[1] * z1 + c[3] * z2) / std::abs (1.0 + c[2] * z1 + c[4] * z2);
}

double dcGain (const double* c)       { return (c[0] + c[1] + c[3]) / (1.0 + c[2] + c[4]); }
double nyquistGain (const double* c)  { return (c[0] - c[1] + c[3]) / (1.0 - c[2] + c[4]); }

/** |H(jΩ)| of the analog bell (s² + (G·W/q)·s + W²) / (s² + (W/q)·s + W²). */
double analogBell (double omega, double w, double q, double boost)
{
    const std::complex<double> s (0.0, omega);
    return std::abs ((s * s + boost * w / q * s + w * w) / (s * s + w / q * s + w * w));
}

/** |H(jΩ)| of the analog high shelf (g·s² + (√g·W/q)·s + W²) / (s² + (W/q)·s + W²): 1 at DC, g at high frequencies. */
double analogHighShelf (double omega, double w, double q, double gain)
{
    const std::complex<double> s (0.0, omega);
    return std::abs ((gain * s * s + std::sqrt (gain) * w / q * s + w * w) / (s * s + w / q * s + w * w));
}

/** |H(jΩ)| of the analog second-order low-pass W² / (s² + (W/q)·s + W²). */
double analogLowPass2 (double omega, double w, double q)
{
    const std::complex<double> s (0.0, omega);
    return std::abs (w * w / (s * s + w / q * s + w * w));
}

void expectNear (double actual, double expected, double relative, double absolute)
{
    EXPECT_NEAR (actual, expected, relative * std::abs (expected) + absolute);
}

} // namespace

//==============================================================================
TEST (PrototypeFilter, ReferenceCoefficients)
{
    struct Case
    {
        const char* name;
        int type;
        double sampleRate, frequency, q, gain;
        double expected[5];
    };

    const double g15 = fromDecibels (15.0);
    const double qButterworth = 0.7071067811865475;

    const Case cases[] =
    {
        { "gain only",            0, 48000.0, 1000.0, 0.7071, 2.0, { 2.0, 0.0, 0.0, 0.0, 0.0 } },
        { "above range is gain",  14, 48000.0, 1000.0, 0.7071, 2.0, { 2.0, 0.0, 0.0, 0.0, 0.0 } },
        { "negative is gain",    -1, 48000.0, 1000.0, 0.7071, 2.0, { 2.0, 0.0, 0.0, 0.0, 0.0 } },
        { "high-pass 1",          2, 48000.0, 1000.0, 0.7071, 2.0, { 1.876976463, -1.876976463, -0.876976463, 0.0, 0.0 } },
        { "low-pass 1 matched",   1, 48000.0, 1000.0, 0.7071, 2.0, { 0.2009711355, 0.04467535379, -0.8771767554, 0.0, 0.0 } },
        { "low-pass 2 matched",   6, 48000.0, 1000.0, 0.7071, 2.0, { 0.023147157, 0.009288937607, -1.81528979, -0.001197826693, 0.8309089237 } },
        { "high-pass 2 matched",  7, 48000.0, 1000.0, 0.7071, 2.0, { 1.827949708, -3.655899416, -1.814900526, 1.827949708, 0.8305612308 } },
        { "high shelf 2 matched", 12, 48000.0, 12000.0, qButterworth, g15, { 3.036325547, -2.532167994, -1.26e-16, 0.6311145122, 0.1352720655 } },
        { "low shelf 2",          11, 48000.0, 80.0, qButterworth, g15, { 1.006615934, -1.990276542, -1.990382934, 0.9839194154, 0.9904289574 } },
        { "bell boost",           13, 48000.0, 1500.0, 2.499294779, g15, { 1.18371315, -1.905812316, -1.887518275, 0.7590660734, 0.9244851827 } },
        { "bell cut",             13, 48000.0, 1500.0, 2.499294779, 1.0 / g15, { 0.8447992656, -1.594574053, -1.610028845, 0.7810044034, 0.6412584613 } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        double coefficients[5] = { -99.0, -99.0, -99.0, -99.0, -99.0 };
        prewarped (coefficients, static_cast<PrototypeFilterType> (c.type), c.sampleRate, c.frequency, c.q, c.gain);

        // The reference figures carry ten significant digits, so allow half a unit in the tenth digit.
        for (int i = 0; i < 5; ++i)
            expectNear (coefficients[i], c.expected[i], 5.0e-10, 1.0e-12);
    }
}

//==============================================================================
TEST (PrototypeFilter, BilinearDesignsHitTheirDefiningGains)
{
    struct Case
    {
        const char* name;
        PrototypeFilterType type;
        double frequency, q, gain;
        double probeFrequency;  // hertz; 24000 is Nyquist at 48 kHz
        double expected;
    };

    const Case cases[] =
    {
        { "high-pass 1 at DC",          HighPass1,  1000.0, 0.7, 2.0, 0.0,     0.0 },
        { "high-pass 1 at Nyquist",     HighPass1,  1000.0, 0.7, 2.0, 24000.0, 2.0 },
        { "low shelf 1 at DC",          LowShelf1,  300.0,  0.7, 4.0, 0.0,     4.0 },
        { "low shelf 1 at Nyquist",     LowShelf1,  300.0,  0.7, 4.0, 24000.0, 1.0 },
        { "high shelf 1 at DC",         HighShelf1, 3000.0, 0.7, 4.0, 0.0,     1.0 },
        { "high shelf 1 at Nyquist",    HighShelf1, 3000.0, 0.7, 4.0, 24000.0, 4.0 },
        { "all-pass 1 anywhere",        AllPass1,   700.0,  0.7, 2.0, 5123.0,  2.0 },
        { "band-pass at its centre",    BandPass,   2000.0, 3.0, 2.0, 2000.0,  2.0 },
        { "notch at its centre",        Notch,      2000.0, 3.0, 2.0, 2000.0,  0.0 },
        { "all-pass 2 anywhere",        AllPass2,   2000.0, 3.0, 2.0, 777.0,   2.0 },
        { "low shelf 2 at DC",          LowShelf2,  80.0,   0.7, 4.0, 0.0,     4.0 },
        { "low shelf 2 at its corner",  LowShelf2,  80.0,   0.7, 4.0, 80.0,    2.0 },
        { "low shelf 2 at Nyquist",     LowShelf2,  80.0,   0.7, 4.0, 24000.0, 1.0 },
    };

    const double sampleRate = 48000.0;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);

        double coefficients[5];
        prewarped (coefficients, c.type, sampleRate, c.frequency, c.q, c.gain);

        expectNear (magnitudeAt (coefficients, 2.0 * pi * c.probeFrequency / sampleRate), c.expected, 1.0e-9, 1.0e-12);
    }
}

TEST (PrototypeFilter, MatchedLowPassesKeepDcGainAndAnalogNyquistGain)
{
    struct Case
    {
        PrototypeFilterType type;
        double sampleRate, frequency, q, gain;
    };

    const Case cases[] =
    {
        { LowPass1, 48000.0,  1000.0,  0.7071, 2.0 },
        { LowPass1, 44100.0,  15000.0, 0.7071, 0.5 },
        { LowPass2, 48000.0,  1000.0,  0.7071, 2.0 },
        { LowPass2, 96000.0,  12000.0, 2.0,    1.5 },
        { LowPass2, 44100.0,  8000.0,  0.5,    0.25 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.type) + " at " + std::to_string (c.frequency) + " Hz");

        double coefficients[5];
        prewarped (coefficients, c.type, c.sampleRate, c.frequency, c.q, c.gain);

        const double w = 2.0 * pi * c.frequency;
        const double nyquist = pi * c.sampleRate;
        const double analogNyquist = c.type == LowPass1 ? 1.0 / std::sqrt (1.0 + (nyquist / w) * (nyquist / w))
                                                        : analogLowPass2 (nyquist, w, c.q);

        expectNear (dcGain (coefficients), c.gain, 1.0e-12, 0.0);
        expectNear (std::abs (nyquistGain (coefficients)), c.gain * analogNyquist, 1.0e-9, 1.0e-15);
    }
}

//==============================================================================
TEST (PrototypeFilter, MatchedHighShelfHasUnityDcAndAnalogNyquistGain)
{
    struct Case
    {
        double sampleRate, frequency, q, gain;
    };

    const Case cases[] =
    {
        { 48000.0,  12000.0, 0.7071067811865475, fromDecibels (15.0) },
        { 44100.0,  5000.0,  0.7071067811865475, fromDecibels (4.0) },
        { 192000.0, 8000.0,  1.2,                fromDecibels (-6.0) },
        { 48000.0,  20000.0, 0.7071067811865475, fromDecibels (15.0) },  // corner above the 0.35·fs limit
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.frequency) + " Hz at " + std::to_string (c.sampleRate));

        double coefficients[5];
        prewarped (coefficients, HighShelf2, c.sampleRate, c.frequency, c.q, c.gain);

        // The Nyquist gain is that of the analog shelf at the requested corner, even where
        // the pre-warped corner had to be limited.
        const double analogNyquist = analogHighShelf (pi * c.sampleRate, 2.0 * pi * c.frequency, c.q, c.gain);

        expectNear (dcGain (coefficients), 1.0, 0.0, 1.0e-12);
        expectNear (nyquistGain (coefficients), analogNyquist, 1.0e-9, 0.0);
    }

    // The limited corner really is different from designing at the limit itself.
    double requested[5], atLimit[5];
    prewarped (requested, HighShelf2, 48000.0, 20000.0, 0.7071067811865475, fromDecibels (15.0));
    prewarped (atLimit,   HighShelf2, 48000.0, 0.35 * 48000.0, 0.7071067811865475, fromDecibels (15.0));
    EXPECT_GT (std::abs (nyquistGain (requested) - nyquistGain (atLimit)), 1.0e-3);
}

TEST (PrototypeFilter, UnityGainShelfIsFlatAndUnityGainBellNearlySo)
{
    const double frequencies[] = { 80.0, 1500.0, 12000.0 };

    for (const double f : frequencies)
    {
        SCOPED_TRACE (f);

        double shelf[5], bell[5];
        prewarped (shelf, HighShelf2, 48000.0, f, 0.7071067811865475, 1.0);
        prewarped (bell,  Peak,       48000.0, f, 4.0 / 9.0, 1.0);

        // Numerator and denominator agree to the last bit except b0 against a0, whose sums
        // run in a different order; at 80 Hz, where the poles crowd z = 1, that one unit in
        // the last place shows as about 2e-12.
        for (int i = 0; i <= 64; ++i)
        {
            const double w = pi * i / 64.0;
            EXPECT_NEAR (magnitudeAt (shelf, w), 1.0, 1.0e-11);
            EXPECT_NEAR (20.0 * std::log10 (magnitudeAt (bell, w)), 0.0, 1.0e-5);
        }

        // The bell is raised to a minimal boost rather than designed as exactly flat.
        EXPECT_GT (magnitudeAt (bell, 2.0 * pi * f / 48000.0), 1.0);
    }
}

//==============================================================================
TEST (PrototypeFilter, MatchedBellHitsCentreBandEdgeAndNyquist)
{
    struct Case
    {
        double sampleRate, frequency, q, gainDb;
    };

    const Case cases[] =
    {
        { 48000.0,  1500.0, 2.499294779, 15.0 },
        { 48000.0,  1500.0, 2.499294779, -15.0 },
        { 44100.0,  450.0,  0.8,         6.0 },
        { 44100.0,  4500.0, 2.5,         0.5 },
        { 96000.0,  4500.0, 4.0 / 9.0,   -3.0 },
        { 96000.0,  450.0,  2.0,         15.0 },
        { 192000.0, 4500.0, 1.2,         -15.0 },
        { 192000.0, 1500.0, 0.5,         0.2 },
        { 44100.0,  22040.0, 2.0,        12.0 },  // centre above the 0.4995·fs limit
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.frequency) + " Hz, " + std::to_string (c.gainDb) + " dB at " + std::to_string (c.sampleRate));

        const double gain = fromDecibels (c.gainDb);

        double coefficients[5];
        prewarped (coefficients, Peak, c.sampleRate, c.frequency, c.q, gain);

        // Targets from the analog bell at the requested frequency.
        const double boost = std::max (gain < 1.0 ? 1.0 / gain : gain, 1.000001);
        const double w = 2.0 * pi * c.frequency;
        const double wc = std::min (w, 0.999 * pi * c.sampleRate);
        const double mc = analogBell (wc, w, c.q, boost);
        const double edge = std::sqrt (mc);
        const double mN = std::min (analogBell (pi * c.sampleRate, w, c.q, boost), 1.0 + 0.999999 * (mc - 1.0));

        // Lower band edge: |H|² = B² gives u² − (2 + κ)·u + 1 = 0 in u = (Ω/W)²; take the smaller root.
        const double kappa = (boost * boost - edge * edge) / (c.q * c.q * (edge * edge - 1.0));
        const double lowerRoot = 2.0 / ((2.0 + kappa) + std::sqrt ((2.0 + kappa) * (2.0 + kappa) - 4.0));
        const double edgeOmega = w * std::sqrt (lowerRoot);

        const double sign = gain < 1.0 ? -1.0 : 1.0;

        expectNear (magnitudeAt (coefficients, 0.0),                       1.0,                   1.0e-12, 0.0);
        expectNear (magnitudeAt (coefficients, wc / c.sampleRate),         std::pow (mc, sign),   1.0e-9, 0.0);
        expectNear (magnitudeAt (coefficients, edgeOmega / c.sampleRate),  std::pow (edge, sign), 1.0e-9, 0.0);
        expectNear (magnitudeAt (coefficients, pi),                        std::pow (mN, sign),   1.0e-9, 0.0);
    }
}

TEST (PrototypeFilter, BellCutIsTheReciprocalOfTheBoost)
{
    const double gainsDb[] = { 15.0, 6.0, 0.5 };

    for (const double db : gainsDb)
    {
        SCOPED_TRACE (db);

        double boost[5], cut[5];
        prewarped (boost, Peak, 48000.0, 1500.0, 2.499294779, fromDecibels (db));
        prewarped (cut,   Peak, 48000.0, 1500.0, 2.499294779, fromDecibels (-db));

        for (int i = 0; i <= 64; ++i)
        {
            const double w = pi * i / 64.0;
            EXPECT_NEAR (magnitudeAt (boost, w) * magnitudeAt (cut, w), 1.0, 1.0e-12);
        }
    }
}

//==============================================================================
TEST (PrototypeFilter, BilinearDesignsClampTheFrequencyJustBelowNyquist)
{
    const PrototypeFilterType types[] = { Notch, LowShelf1 };
    const double sampleRate = 48000.0;

    for (const auto type : types)
    {
        SCOPED_TRACE (static_cast<int> (type));

        double above[5], farAbove[5], atLimit[5];
        prewarped (above,    type, sampleRate, 30000.0, 0.7, 2.0);
        prewarped (farAbove, type, sampleRate, 90000.0, 0.7, 2.0);
        prewarped (atLimit,  type, sampleRate, 0.4975 * sampleRate, 0.7, 2.0);

        for (int i = 0; i < 5; ++i)
        {
            EXPECT_EQ (above[i], farAbove[i]);
            EXPECT_NEAR (above[i], atLimit[i], 1.0e-12);
        }
    }
}
