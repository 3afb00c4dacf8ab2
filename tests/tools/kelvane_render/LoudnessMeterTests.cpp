#include "LoudnessMeter.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace KelvaneRender;
using namespace KelvaneRenderTest;

namespace
{
LoudnessFigures measure (const juce::AudioBuffer<double>& audio, double sampleRate)
{
    LoudnessMeter meter (audio.getNumChannels(), sampleRate);

    // In uneven pieces, as the renderer's blocks come.
    for (int start = 0; start < audio.getNumSamples(); start += 1000)
    {
        const auto length = std::min (1000, audio.getNumSamples() - start);
        std::vector<const double*> channels;

        for (int c = 0; c < audio.getNumChannels(); ++c)
            channels.push_back (audio.getReadPointer (c, start));

        meter.addFrames (channels.data(), length);
    }

    return meter.getFigures();
}
} // namespace

// BS.1770: L = −0.691 + 10·log10 (Σ mean squares of the K-weighted channels). A sine of peak
// amplitude 0.1 (−20 dBFS) has a mean square of 0.005, −23.01 dB; two channels add 3.01 dB and
// the K-weighting's +0.69 dB at 1 kHz cancels the −0.691, so the reading is −20.0 LUFS. This is
// the first case of EBU Tech 3341 (there at −23 dBFS, reading −23.0 LUFS).
TEST (LoudnessMeter, StereoSineAtMinus20DbfsReadsMinus20Lufs)
{
    for (const auto rate : { 44100.0, 48000.0 })
    {
        auto sine = silence (2, static_cast<int> (20.0 * rate));
        addSine (sine, 1000.0, rate, 0.1);
        const auto figures = measure (sine, rate);

        EXPECT_NEAR (figures.integratedLufs, -20.0, 0.1) << rate;
        EXPECT_NEAR (figures.loudnessRangeLu, 0.0, 0.1) << rate;
        EXPECT_NEAR (figures.samplePeakDb, -20.0, 0.01) << rate;
    }
}

// A sine at an eighth of the sample rate, started 22.5° off its peaks, is sampled at best at
// A·cos 22.5° (−0.69 dB), while its true peak is A; the points that 4× oversampling adds fall
// on the peaks exactly.
TEST (LoudnessMeter, TruePeakFindsThePeakBetweenSamples)
{
    for (const auto rate : { 44100.0, 48000.0 })
    {
        const double amplitude = 0.5; // −6.02 dBFS
        auto sine = silence (2, static_cast<int> (rate));
        addSine (sine, rate / 8.0, rate, amplitude, pi / 8.0);
        const auto figures = measure (sine, rate);

        EXPECT_NEAR (figures.samplePeakDb, amplitudeToDecibels (amplitude * std::cos (pi / 8.0)), 0.01) << rate;
        EXPECT_NEAR (figures.truePeakDb, amplitudeToDecibels (amplitude), 0.1) << rate;
    }
}

TEST (LoudnessMeter, MonoIsMeasuredAsDualMono)
{
    const double rate = 48000.0;
    auto stereo = silence (2, static_cast<int> (10.0 * rate));
    addSine (stereo, 1000.0, rate, 0.1);
    auto mono = silence (1, stereo.getNumSamples());
    mono.copyFrom (0, 0, stereo, 0, 0, stereo.getNumSamples());

    EXPECT_NEAR (measure (mono, rate).integratedLufs, measure (stereo, rate).integratedLufs, 0.001);
}

TEST (LoudnessMeter, SilenceReadsMinusInfinity)
{
    const auto figures = measure (silence (2, 48000), 48000.0);

    EXPECT_TRUE (std::isinf (figures.integratedLufs) && figures.integratedLufs < 0.0);
    EXPECT_TRUE (std::isinf (figures.truePeakDb) && figures.truePeakDb < 0.0);
}
