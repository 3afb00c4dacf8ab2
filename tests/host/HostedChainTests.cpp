// The sound through the shipped binaries: what a host records from the VST3 and the LV2.

#include "BuiltPlugins.h"

#include "helpers/Response.h"

#include <cmath>

using namespace KelvaneTest;

namespace
{
constexpr size_t latency = 2689;

std::vector<float> noiseSignal (size_t length, float amplitude, int seed)
{
    juce::Random random (seed);
    std::vector<float> x (length);

    for (auto& sample : x)
        sample = amplitude * (2.0f * random.nextFloat() - 1.0f);

    return x;
}

class HostedChain : public ::testing::TestWithParam<Format>
{
};
} // namespace

TEST_P (HostedChain, PowerOffGivesTheInputDelayedByTheLatency)
{
    for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
        for (const float fir : { 0.0f, 1.0f })
        {
            SCOPED_TRACE (juce::String (rate) + (fir > 0 ? " FIR" : " IIR"));
            HostedRunner runner (GetParam(), rate);
            ASSERT_TRUE (runner.loaded());
            runner.set ("EQ Mode", fir);
            runner.set ("Power", 0.0f);
            runner.set ("LGain", 0.5f);
            runner.settle();

            const auto left = noiseSignal (latency + 2000, 0.8f, 1), right = noiseSignal (latency + 2000, 0.8f, 2);
            std::vector<float> outLeft, outRight;
            runner.process (left, right, &outLeft, &outRight);

            const auto error = runner.settlingError();

            for (size_t n = 0; n < left.size(); ++n)
            {
                ASSERT_NEAR (outLeft[n], n < latency ? 0.0f : left[n - latency], error) << n;
                ASSERT_NEAR (outRight[n], n < latency ? 0.0f : right[n - latency], error) << n;
            }
        }
}

TEST_P (HostedChain, NeutralChainIsTheDelayedInput)
{
    for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
        for (const float fir : { 0.0f, 1.0f })
        {
            SCOPED_TRACE (juce::String (rate) + (fir > 0 ? " FIR" : " IIR"));
            HostedRunner runner (GetParam(), rate);
            ASSERT_TRUE (runner.loaded());
            runner.set ("EQ Mode", fir);
            runner.set ("ExpByp", 1.0f);
            runner.settle();

            // A half-scale impulse; the float signal path carries 24 bits, enough for the bounds.
            std::vector<float> impulse (latency + 4000, 0.0f);
            impulse[0] = 0.5f;
            std::vector<float> out;
            runner.process (impulse, impulse, &out);

            std::vector<double> response (out.begin(), out.end());

            for (auto& r : response)
                r *= 2.0;

            EXPECT_NEAR (response[latency], 1.0, fir > 0 ? 0.001 : 2.0e-6);

            // IIR: the unity bells' 1.000001 boost overlaps to about 1.5e-5 dB; FIR: truncation and window.
            const double tolerance = fir > 0 ? 0.001 : 2.0e-5;

            for (const double f : logFrequencies (20.0, 0.49 * rate, 30))
                EXPECT_NEAR (decibels (magnitudeAt (response, f, rate)), 0.0, tolerance) << f;
        }
}

TEST_P (HostedChain, LimiterNeverExceedsItsCeilingOnLoudNoise)
{
    struct Case
    {
        float ceiling;    ///< normalised: −30..0 dB
        float outputGain; ///< normalised: 0..30 dB
    };

    for (const Case c : { Case { 1.0f, 0.0f }, Case { 0.8f, 0.0f }, Case { 0.5f, 0.1f }, Case { 0.0f, 0.2f } })
    {
        HostedRunner runner (GetParam(), 44100.0);
        ASSERT_TRUE (runner.loaded());
        runner.set ("EQ Mode", 0.0f);
        runner.set ("LGain", 0.5f); // +24 dB into the limiter
        runner.set ("LCeil", c.ceiling);
        runner.set ("MakeUp", c.outputGain);
        runner.set ("MHiShlf", 1.0f); // and a boosted top end, as if mastering hot
        runner.settle();

        const double limit = std::pow (10.0, (30.0 * c.ceiling - 30.0) / 20.0) * std::pow (10.0, 30.0 * c.outputGain / 20.0);
        const auto left = noiseSignal (30 * 44100, 1.0f, 5), right = noiseSignal (30 * 44100, 1.0f, 6);
        std::vector<float> outLeft, outRight;
        runner.process (left, right, &outLeft, &outRight);

        double peak = 0.0;

        for (size_t n = 0; n < outLeft.size(); ++n)
            peak = std::max ({ peak, std::abs (static_cast<double> (outLeft[n])), std::abs (static_cast<double> (outRight[n])) });

        // Single-precision output: the limit itself rounds to a float.
        EXPECT_LE (peak, static_cast<double> (static_cast<float> (limit)) * (1.0 + 1.0e-9)) << "ceiling " << c.ceiling;
        EXPECT_GT (peak, 0.9 * limit) << "the limiter is driven hard";
    }
}

TEST_P (HostedChain, SwitchingHostBypassWithPowerOffChangesNothing)
{
    HostedRunner runner (GetParam(), 48000.0);
    ASSERT_TRUE (runner.loaded());
    runner.set ("Power", 0.0f);
    runner.settle();

    const auto left = noiseSignal (20 * 512, 0.5f, 9), right = noiseSignal (20 * 512, 0.5f, 10);
    std::vector<float> outLeft, outRight;
    runner.process (left, right, &outLeft, &outRight, [] (int block) { return block % 3 == 1; });

    for (size_t n = 0; n < left.size(); ++n)
        ASSERT_NEAR (outLeft[n], n < latency ? 0.0f : left[n - latency], runner.settlingError()) << n;
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedChain, ::testing::Values (Format::vst3, Format::lv2), formatName);

//==============================================================================
TEST (HostedVst3, SingleAndDoublePrecisionDifferOnlyByTheFinalRounding)
{
    HostedRunner floats (Format::vst3, 48000.0), doubles (Format::vst3, 48000.0, 512, true);
    ASSERT_TRUE (floats.loaded() && doubles.loaded());
    ASSERT_TRUE (doubles.plugin->isUsingDoublePrecision());

    for (auto* runner : { &floats, &doubles })
    {
        runner->set ("CompThr", 0.5f);
        runner->set ("CompRtio", 0.25f);
        runner->set ("MHiShlf", 0.7f);
        runner->set ("LGain", 0.2f);
        runner->settle();
    }

    const auto left = noiseSignal (20000, 0.7f, 3), right = noiseSignal (20000, 0.7f, 4);
    std::vector<float> floatLeft, floatRight;
    floats.process (left, right, &floatLeft, &floatRight);

    std::vector<double> doubleLeft, doubleRight;
    doubles.process (std::vector<double> (left.begin(), left.end()), std::vector<double> (right.begin(), right.end()),
                     &doubleLeft, &doubleRight);

    for (size_t n = 0; n < left.size(); ++n)
    {
        ASSERT_EQ (floatLeft[n], static_cast<float> (doubleLeft[n])) << n;
        ASSERT_EQ (floatRight[n], static_cast<float> (doubleRight[n])) << n;
    }
}
