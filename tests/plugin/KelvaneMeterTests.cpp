#include "helpers/ProcessorRunner.h"
#include "helpers/Response.h"

#include <gtest/gtest.h>

#include <cmath>

using OSK::KelvaneDsp;
using namespace KelvaneTest;

namespace
{
double gainOf (double decibels) { return std::pow (10.0, decibels / 20.0); }

/** Runs two seconds of a full-scale sine through a neutral chain and returns the meters. */
std::array<double, 17> metersAfterSine (bool invertRight, bool silenceRight = false)
{
    ProcessorRunner runner;
    runner.setText ("ExpByp", "On");
    runner.settle();

    // 997 Hz: a frequency that divides the rate would put exact zeros in the signal, where the
    // correlation of two silent samples counts as 0.
    auto input = sine (96000, 997.0, 48000.0, 1.0, invertRight);

    if (silenceRight)
        std::fill (input.right.begin(), input.right.end(), 0.0);

    runner.process (input);

    std::array<double, 17> values {};

    for (int i = 0; i < 17; ++i)
        values[static_cast<size_t> (i)] = runner.engine().getMeterValue (i);

    return values;
}
} // namespace

TEST (Meters, FullScaleSineOnBothChannels)
{
    const auto m = metersAfterSine (false);
    EXPECT_NEAR (m[11], 1.0, 0.002);
    EXPECT_NEAR (m[12], 1.0, 0.002);
    EXPECT_NEAR (m[13], 0.937, 0.001); // −3.01 dB RMS on the −48..0 scale
    EXPECT_NEAR (m[14], 0.937, 0.001);
    EXPECT_NEAR (m[15], 1.0, 0.001);
    EXPECT_NEAR (m[16], 0.5, 0.001);

    for (const int stagePeak : { 0, 1, 3, 4, 5, 6, 8, 9 })
        EXPECT_NEAR (m[static_cast<size_t> (stagePeak)], 1.0, 0.002) << stagePeak;
}

TEST (Meters, CorrelationAndBalance)
{
    EXPECT_NEAR (metersAfterSine (true)[15], 0.0, 0.001); // one channel inverted

    // One channel silent: no correlation, and the balance beyond its scale toward the other side.
    const auto oneSided = metersAfterSine (false, true);
    EXPECT_NEAR (oneSided[15], 0.5, 0.001);
    EXPECT_LE (oneSided[16], 0.0);
}

TEST (Meters, DisplayScales)
{
    struct Case
    {
        const char* what;
        int meter;
        std::atomic<double> KelvaneDsp::MeterAccumulators<std::atomic<double>>::*single;
        double value;
        double expected;
    };

    using M = KelvaneDsp::MeterAccumulators<std::atomic<double>>;

    const Case cases[] = {
        { "compressor 8 dB reduction", 7, &M::compressorGainHold, gainOf (-8.0), 0.5 },
        { "compressor 16 dB reduction", 7, &M::compressorGainHold, gainOf (-16.0), 1.0 },
        { "compressor 20 dB reduction", 7, &M::compressorGainHold, gainOf (-20.0), 1.25 },
        { "limiter 4 dB reduction", 10, &M::limiterGainHold, gainOf (-4.0), 0.25 },
        { "expander 24 dB reduction", 2, &M::expanderGain, gainOf (-24.0), 0.5 },
        { "no reduction", 2, &M::expanderGain, 1.0, 0.0 },
        { "correlation -1", 15, &M::correlation, -1.0, 0.0 },
        { "balance centred", 16, &M::balance, 0.0, 0.5 },
    };

    ProcessorRunner runner;
    auto& engine = runner.engine();

    for (const auto& c : cases)
    {
        (engine.publishedMeters.*c.single).store (c.value);
        EXPECT_NEAR (engine.getMeterValue (c.meter), c.expected, 1.0e-6) << c.what;
    }

    engine.publishedMeters.outputPeak[0] = gainOf (-24.0);
    engine.publishedMeters.outputPeak[1] = 0.0;                 // silence reads far below the scale
    engine.publishedMeters.outputMeanSquare[0] = 0.5;
    EXPECT_NEAR (engine.getMeterValue (11), 0.5, 1.0e-6);
    EXPECT_NEAR (engine.getMeterValue (12), -5.52, 0.01);
    EXPECT_NEAR (engine.getMeterValue (13), (10.0 * std::log10 (0.5) + 48.0) / 48.0, 1.0e-6);

    // Display values are single-precision numbers.
    EXPECT_EQ (engine.getMeterValue (11), static_cast<double> (static_cast<float> (engine.getMeterValue (11))));

    for (const int outOfRange : { -1, 17, 100 })
        EXPECT_EQ (engine.getMeterValue (outOfRange), 0.0);

    EXPECT_EQ (engine.getHostMeterValue (3), 0.0);
    EXPECT_EQ (engine.getHostMeterValue (-1), 0.0);
}

TEST (Meters, PeakFallsAbout29DecibelsPerSecond)
{
    ProcessorRunner runner;
    runner.setText ("ExpByp", "On");
    runner.settle();
    runner.process (sine (9600, 1000.0, 48000.0, 1.0));
    runner.process (Stereo (2689 + 200));        // the last of the sine leaves the chain
    const double start = runner.engine().getMeterValue (11);
    runner.process (Stereo (48000));
    const double fallDb = (start - runner.engine().getMeterValue (11)) * 48.0;
    EXPECT_NEAR (fallDb, 28.95, 0.05);
}

TEST (Meters, PowerOffGatesTheStageAndHostMetersButNotTheOutput)
{
    ProcessorRunner runner;
    runner.setText ("Thresh", "-10");
    runner.setText ("Ratio", "1");
    runner.setText ("CompThr", "-30");
    runner.setText ("CompRtio", "4");
    runner.setText ("LGain", "48");
    runner.settle();

    const auto loud = noise (48000, 0.3);
    runner.process (loud);

    for (int j = 0; j < 3; ++j)
        EXPECT_GT (runner.processor.getEngine().getHostMeterValue (j), 0.01) << "host meter " << j;

    EXPECT_NEAR (runner.engine().getHostMeterValue (1), 1.0 - runner.engine().publishedMeters.compressorGain.load(), 1.0e-15);

    runner.setText ("Power", "Off");
    runner.process (loud);

    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ (runner.engine().getMeterValue (i), 0.0) << i;

    for (int i = 11; i <= 16; ++i)
        EXPECT_NE (runner.engine().getMeterValue (i), 0.0) << i;

    for (int j = 0; j < 3; ++j)
        EXPECT_EQ (runner.engine().getHostMeterValue (j), 0.0);

    // The host sees the meters as parameters, written every block.
    EXPECT_EQ (runner.parameter ("GR Compressor").getValue(), 0.0f);
}

TEST (Meters, HeldGainReductionReturnsAtAboutTenDecibelsPerSecond)
{
    ProcessorRunner runner;
    runner.setText ("EQ Mode", "IIR");
    runner.setText ("CompThr", "-40");
    runner.setText ("CompRtio", "10");
    runner.setText ("CompAtt", "0.1");
    runner.setText ("CompRel", "0.02");
    runner.settle();

    // The compressor sits after the equaliser and sees the sine until 1537 samples after it ends.
    runner.process (sine (24000, 1000.0, 48000.0, 0.5));
    runner.process (Stereo (1537));
    const double held = runner.engine().meters.compressorGainHold;
    runner.process (Stereo (24000));

    // Released in half a second by about 4.8 dB, much slower than the 20 ms release of the gain itself.
    EXPECT_NEAR (decibels (runner.engine().meters.compressorGainHold) - decibels (held), 9.65 / 2.0, 0.1);
    EXPECT_NEAR (runner.engine().meters.compressorGain, 1.0, 1.0e-3);
}
