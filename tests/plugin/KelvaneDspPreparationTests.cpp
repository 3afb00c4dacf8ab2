#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using OSK::KelvaneDsp;

namespace
{
struct Preparation : ::testing::Test
{
    OSK::KelvaneProcessor processor;
    KelvaneDsp& engine = processor.getEngine();
};
} // namespace

TEST_F (Preparation, ConstructionSetsLatencyAndDefaultsBeforeAnyRateIsKnown)
{
    EXPECT_EQ (engine.latencySamples, 2689);
    EXPECT_EQ (engine.sampleRate, 0.0);
    EXPECT_EQ (engine.timeCoefficient (0.2), 1.0);
    EXPECT_EQ (engine.expanderAttack, 1.0);
    EXPECT_EQ (engine.dryDelay->getLength(), 0);
    EXPECT_EQ (engine.dryDelay->getNumChannels(), 0);
    EXPECT_EQ (engine.targetValues[KelvaneDsp::power], 1.0);
    EXPECT_EQ (engine.receivedValues[OSK::CompThr], 1.0f); // seeded with the default
}

TEST_F (Preparation, SizesFollowTheSampleRate)
{
    struct Case
    {
        double rate;
        int firLength, fftSize, centre, preDelay, lookahead, postDelay;
    };

    const Case cases[] = {
        { 44100.0, 769, 1024, 384, 1153, 132, 1021 },
        { 48000.0, 769, 1024, 384, 1153, 144, 1009 },
        { 50000.0, 769, 1024, 384, 1153, 150, 1003 },
        { 96000.0, 1537, 2048, 768, 769, 288, 865 },
        { 100000.0, 1537, 2048, 768, 769, 300, 853 },
        { 192000.0, 3073, 4096, 1536, 1, 576, 577 },
        { 384000.0, 3073, 4096, 1536, 1, 1152, 1 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.rate);
        engine.prepareToPlay (c.rate, 512, 2, 2);

        EXPECT_EQ (engine.firLength, c.firLength);
        EXPECT_EQ (engine.fftSize, c.fftSize);
        EXPECT_EQ (engine.firCentre, c.centre);
        EXPECT_EQ (engine.lookaheadSamples, c.lookahead);
        EXPECT_EQ (engine.firHistory->getLength(), c.firLength);
        EXPECT_EQ (engine.eqPreDelay->getLength(), c.preDelay);
        EXPECT_EQ (engine.dryDelay->getLength(), 2689);
        EXPECT_EQ (engine.limiterLookahead->getLength(), c.lookahead);
        EXPECT_EQ (engine.limiterPeakHistory->getLength(), c.lookahead);
        EXPECT_EQ (engine.limiterPeakHistory->getNumChannels(), 1);
        EXPECT_EQ (engine.limiterPostDelay->getLength(), c.postDelay);
        EXPECT_EQ (engine.limiterPostDelay->getNumChannels(), 2);

        // Equaliser and limiter delays add up to the reported latency at every rate.
        EXPECT_EQ (c.preDelay + c.centre, 1537);
        EXPECT_EQ ((c.lookahead - 1) + c.postDelay, 1152);
    }
}

TEST_F (Preparation, CoefficientsFollowTheirTimeConstants)
{
    const double fs = 48000.0;
    engine.prepareToPlay (fs, 512, 2, 2);

    EXPECT_DOUBLE_EQ (engine.smoothingCoefficient, 1.0 - std::exp (-1.0 / (0.05 * fs)));
    EXPECT_DOUBLE_EQ (engine.meterDecay, std::exp (-1.0 / (0.30000001192092896 * fs)));
    EXPECT_DOUBLE_EQ (engine.meterSmoothing, 1.0 - std::exp (-1.0 / (0.30000001192092896 * fs)));
    EXPECT_DOUBLE_EQ (engine.balanceSmoothing, 1.0 - std::exp (-1.0 / (0.5 * fs)));
    EXPECT_DOUBLE_EQ (engine.grRelease, 2.0 - std::exp (-1.0 / (0.8999999761581421 * fs)));
    EXPECT_DOUBLE_EQ (engine.expanderRelease, 1.0 - std::exp (-1.0 / (0.2 * fs)));
    EXPECT_DOUBLE_EQ (engine.limiterRelease, 1.0 - std::exp (-1.0 / (0.2 * fs)));
    EXPECT_DOUBLE_EQ (engine.compressorAttack, 1.0 - std::exp (-1.0 / (0.0001 * fs)));
}

TEST_F (Preparation, UnchangedSettingsOnlyResetTheRunningState)
{
    engine.prepareToPlay (48000.0, 512, 2, 2);
    engine.parameterChanged (OSK::Thresh, 0.5f);
    engine.parameterChanged (OSK::LCeil, 0.0f);

    // Running state that a new preparation must clear.
    engine.dryDelay->pushAndRead (0, 1.0);
    engine.expanderEnvelope = 0.3;
    engine.compressorEnvelope = 0.4;
    engine.meters.outputPeak[1] = 0.9;
    engine.meters.limiterGain = 0.5;
    engine.currentValues[KelvaneDsp::expanderThreshold] = -55.0;

    engine.prepareToPlay (48000.0, 512, 2, 2);

    EXPECT_EQ (engine.targetValues[KelvaneDsp::expanderThreshold], -30.0);
    EXPECT_EQ (engine.currentValues[KelvaneDsp::expanderThreshold], -30.0);
    EXPECT_EQ (engine.receivedValues[OSK::Thresh], 0.5f);
    EXPECT_EQ (engine.expanderEnvelope, 0.0);
    EXPECT_EQ (engine.compressorEnvelope, 0.0);
    EXPECT_DOUBLE_EQ (engine.limiterEnvelope, std::pow (10.0, -30.0 / 20.0)); // the ceiling's target
    EXPECT_EQ (engine.meters.outputPeak[1], 0.0);
    EXPECT_EQ (engine.publishedMeters.outputPeak[1].load(), 0.0);
    EXPECT_EQ (engine.meters.limiterGain, 1.0);

    for (int i = 0; i < 2689; ++i)
        ASSERT_EQ (engine.dryDelay->pushAndRead (0, 0.0), 0.0);
}

TEST_F (Preparation, ChangedSettingsReturnToTheDefaults)
{
    struct Case
    {
        const char* what;
        double rate;
        int block, ins, outs;
    };

    const Case cases[] = {
        { "block size", 48000.0, 256, 2, 2 },
        { "sample rate", 44100.0, 512, 2, 2 },
    };

    for (const auto& c : cases)
    {
        engine.prepareToPlay (48000.0, 512, 2, 2);
        engine.parameterChanged (OSK::Thresh, 0.5f);
        engine.parameterChanged (OSK::CAG, 1.0f);

        engine.prepareToPlay (c.rate, c.block, c.ins, c.outs);

        EXPECT_EQ (engine.targetValues[KelvaneDsp::expanderThreshold], -60.0) << c.what;
        EXPECT_EQ (engine.receivedValues[OSK::Thresh], 0.0f) << c.what;
        EXPECT_EQ (engine.receivedValues[OSK::CAG], 0.0f) << c.what;
        EXPECT_EQ (engine.receivedValues[OSK::CompThr], 1.0f) << c.what; // defaults, not zeros
        EXPECT_EQ (engine.receivedValues[OSK::Power], 1.0f) << c.what;
        EXPECT_EQ (engine.blockSize, c.block) << c.what;
    }
}

TEST_F (Preparation, HostBypassDelaysByTheLatencyAcrossBlocksAndPrecisions)
{
    engine.prepareToPlay (44100.0, 512, 2, 2);

    // An impulse at sample 10 on the left and 20 on the right, fed in blocks of uneven length,
    // alternating between single and double precision.
    const int total = 2689 + 100;
    std::vector<double> left (total, 0.0), right (total, 0.0);
    left[10] = 1.0;
    right[20] = -0.5;

    std::vector<double> outLeft, outRight;
    int position = 0;
    bool useFloat = true;

    for (const int length : { 0, 1, 7, 512, 2000, 269 })
    {
        if (useFloat)
        {
            std::vector<float> l (left.begin() + position, left.begin() + position + length);
            std::vector<float> r (right.begin() + position, right.begin() + position + length);
            float* channels[] = { l.data(), r.data() };
            engine.processBypassedFloat (length, channels, channels);
            outLeft.insert (outLeft.end(), l.begin(), l.end());
            outRight.insert (outRight.end(), r.begin(), r.end());
        }
        else
        {
            std::vector<double> l (left.begin() + position, left.begin() + position + length);
            std::vector<double> r (right.begin() + position, right.begin() + position + length);
            double* channels[] = { l.data(), r.data() };
            engine.processBypassedDouble (length, channels, channels);
            outLeft.insert (outLeft.end(), l.begin(), l.end());
            outRight.insert (outRight.end(), r.begin(), r.end());
        }

        position += length;
        useFloat = ! useFloat;
    }

    ASSERT_EQ (position, total);

    for (int i = 0; i < total; ++i)
    {
        ASSERT_EQ (outLeft[static_cast<size_t> (i)], i == 10 + 2689 ? 1.0 : 0.0) << i;
        ASSERT_EQ (outRight[static_cast<size_t> (i)], i == 20 + 2689 ? -0.5 : 0.0) << i;
    }
}

TEST_F (Preparation, BypassBeforePreparationLeavesTheBuffer)
{
    float left[] = { 0.5f, 0.25f };
    float right[] = { -1.0f, 1.0f };
    float* channels[] = { left, right };

    engine.processBypassedFloat (2, channels, channels);

    EXPECT_EQ (left[0], 0.5f);
    EXPECT_EQ (right[1], 1.0f);
}
