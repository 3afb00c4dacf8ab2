#include "helpers/ProcessorRunner.h"
#include "helpers/Response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using OSK::KelvaneDsp;
using namespace KelvaneTest;

namespace
{
double amplitudeOf (double dbfs) { return std::pow (10.0, dbfs / 20.0); }

struct Setting
{
    const char* id;
    const char* text;
};

/** A steady level (DC on both channels) until the detectors have settled. */
void runSteadyLevel (ProcessorRunner& runner, double dbfs)
{
    Stereo input (24000);
    std::fill (input.left.begin(), input.left.end(), amplitudeOf (dbfs));
    std::fill (input.right.begin(), input.right.end(), -amplitudeOf (dbfs)); // the detectors are stereo-linked peak detectors
    runner.process (input);
}
} // namespace

TEST (Dynamics, SteadyStateGainOfExpanderAndCompressor)
{
    struct Case
    {
        const char* what;
        std::vector<Setting> settings;
        double inputDbfs;
        double KelvaneDsp::MeterAccumulators<double>::*gain;
        double expectedDb, tolerance;
    };

    using M = KelvaneDsp::MeterAccumulators<double>;

    const Case cases[] = {
        { "expander far below threshold", { { "Thresh", "-60" }, { "Ratio", "1" } }, -70.0, &M::expanderGain, -10.0134, 0.0005 },
        { "expander far above threshold", { { "Thresh", "-60" }, { "Ratio", "1" } }, -20.0, &M::expanderGain, -4.12e-9, 0.05e-9 },
        { "expander at threshold, ratio 2", { { "Thresh", "-40" }, { "Ratio", "2" } }, -40.0, &M::expanderGain, -2.7726, 0.0005 },
        { "compressor 4:1 from -20 dB", { { "CompThr", "-20" }, { "CompRtio", "4" } }, -10.0, &M::compressorGain, -7.5101, 0.0005 },
        { "compressor at 1:1 is unity", { { "CompThr", "-48" }, { "CompRtio", "1" } }, 0.0, &M::compressorGain, 0.0, 0.0 },
        { "compressor at 1:1, loud", { { "CompThr", "-48" }, { "CompRtio", "1" } }, 12.0, &M::compressorGain, 0.0, 0.0 },
    };

    for (const auto& c : cases)
    {
        ProcessorRunner runner;
        runner.setText ("EQ Mode", "IIR");

        for (const auto& s : c.settings)
            runner.setText (s.id, s.text);

        runner.settle();
        runSteadyLevel (runner, c.inputDbfs);

        EXPECT_NEAR (decibels (runner.engine().meters.*c.gain), c.expectedDb, c.tolerance) << c.what;
    }
}

TEST (Dynamics, CompressorMakeupAndBypassScaleTheSignal)
{
    ProcessorRunner runner;
    runner.setText ("EQ Mode", "IIR");
    runner.setText ("ExpByp", "On");
    runner.setText ("CompGain", "6");
    runner.setText ("LCeil", "0");
    runner.settle();

    const auto in = sine (48000, 1000.0, 48000.0, 0.1);
    const auto out = runner.process (in);
    EXPECT_NEAR (decibels (rmsOf (out.left, 24000, 48000) / rmsOf (in.left, 24000, 48000)), 6.0, 0.001);

    // Bypassing fades the make-up out too.
    runner.setText ("CByp", "On");
    runner.settle();
    const auto bypassed = runner.process (in);
    EXPECT_NEAR (decibels (rmsOf (bypassed.left, 24000, 48000) / rmsOf (in.left, 24000, 48000)), 0.0, 0.001);
}

namespace
{
/** The limiter alone, fed sample by sample with the engine's working values at their targets. */
struct Limiter
{
    explicit Limiter (const char* ceiling, const char* drive = "0", const char* outputGain = "0")
    {
        runner.setText ("LCeil", ceiling);
        runner.setText ("LGain", drive);
        runner.setText ("MakeUp", outputGain);
        runner.settle();
    }

    std::vector<double> run (const std::vector<double>& input)
    {
        std::vector<double> out;

        for (const double x : input)
        {
            const double u[] = { x, -x };
            double l[2];
            runner.engine().processLimiter (u, l);
            EXPECT_EQ (l[1], -l[0]);
            out.push_back (l[0]);
        }

        return out;
    }

    ProcessorRunner runner;
};
} // namespace

TEST (Dynamics, LimiterHoldsTheCeilingAndStartsReducingBeforeThePeak)
{
    Limiter limiter ("-6");
    const double ceiling = limiter.runner.engine().currentValues[KelvaneDsp::limiterCeiling];
    const int lookahead = limiter.runner.engine().lookaheadSamples;
    ASSERT_NEAR (ceiling, 0.501, 0.0005);

    constexpr size_t impulseAt = 3000;
    std::vector<double> input (6000, 0.1);
    input[impulseAt] = 1.0;
    const auto out = limiter.run (input);

    const auto delayed = [&] (size_t n) { return out[n + 1152]; };

    EXPECT_NEAR (delayed (impulseAt), ceiling, 1.0e-15); // the full-scale peak leaves at the ceiling
    EXPECT_NEAR (delayed (impulseAt - static_cast<size_t> (lookahead)), 0.1, 1.0e-15); // untouched (to rounding)
    EXPECT_LT (delayed (impulseAt - static_cast<size_t> (lookahead - 1)), 0.1);      // reduction begins L − 1 earlier
    EXPECT_LE (peakOf (out), ceiling);

    for (size_t n = 0; n < 1152; ++n)
        ASSERT_EQ (out[n], 0.0) << "the limiter delays by 1152 samples";
}

TEST (Dynamics, LimiterLeavesPeaksBelowTheCeilingUntouched)
{
    Limiter limiter ("-6");
    const auto input = noise (20000, 0.5).left; // just below 0.501
    const auto out = limiter.run (input);

    // The averaged window peaks all equal the ceiling: the gain is 1 but for rounding.
    for (size_t n = 0; n + 1152 < out.size(); ++n)
        ASSERT_NEAR (out[n + 1152], input[n], 1.0e-14) << n;
}

TEST (Dynamics, LimiterBypassSwitchesDriveAtOnceAndFadesTheReduction)
{
    ProcessorRunner runner;
    runner.setText ("EQ Mode", "IIR");
    runner.setText ("ExpByp", "On");
    runner.setText ("LGain", "12");
    runner.settle();

    // A quiet sine is not limited: the drive alone sets its level.
    const auto quiet = sine (24000, 997.0, 48000.0, amplitudeOf (-30.0));
    const auto before = runner.process (quiet);

    runner.setText ("LByp", "On");
    const auto after = runner.process (quiet);

    const size_t latency = 2689;
    const double drive = runner.engine().targetValues[KelvaneDsp::limiterInputGain];
    ASSERT_NEAR (decibels (drive), 12.0, 1.0e-4);

    for (size_t n = 4000; n < 24000; n += 7)
        ASSERT_NEAR (before.left[n], drive * quiet.left[n - latency], 2.0e-4 * amplitudeOf (-18.0)) << n;

    // The drive leaves the look-ahead 1152 samples after the switch, all at once.
    for (size_t n = 0; n < 1152; ++n)
        ASSERT_NEAR (after.left[n], drive * quiet.left[(n + 24000 - latency) % 24000], 2.0e-4 * amplitudeOf (-18.0)) << n;

    for (size_t n = 1152; n < 2000; ++n)
        ASSERT_NEAR (after.left[n], quiet.left[(n + 24000 - latency) % 24000], 2.0e-4 * amplitudeOf (-30.0)) << n;

    // A loud signal is limited; bypassing lets the reduction fade over about 50 ms.
    ProcessorRunner loud;
    loud.setText ("LGain", "12");
    loud.settle();
    loud.process (sine (48000, 997.0, 48000.0, amplitudeOf (-6.0)));
    ASSERT_LT (loud.engine().meters.limiterGain, amplitudeOf (-4.0));

    loud.setText ("LByp", "On");
    loud.process (sine (480, 997.0, 48000.0, amplitudeOf (-6.0))); // 10 ms
    EXPECT_LT (loud.engine().meters.limiterGain, 0.8);
    loud.process (sine (24000, 997.0, 48000.0, amplitudeOf (-6.0))); // 500 ms more
    EXPECT_GT (loud.engine().meters.limiterGain, 0.999);
}
