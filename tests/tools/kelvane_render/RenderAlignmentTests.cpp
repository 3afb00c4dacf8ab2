// The output lines up with the input sample for sample and is just as long; without
// compensation it is what a host records, the latency later.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace KelvaneRenderTest;

namespace
{
constexpr int latency = 2689;
constexpr int impulseAt = 3000;
constexpr int burstAt = 20000;
constexpr int burstLength = 600;

juce::AudioBuffer<double> impulseAndBurst (int length)
{
    auto audio = silence (2, length);
    audio.setSample (0, impulseAt, 0.5);
    audio.setSample (1, impulseAt, -0.5);
    addNoise (audio, burstAt, burstLength, 0.3, 11);
    return audio;
}
} // namespace

TEST (RenderAlignment, ImpulseAndNoiseBurstKeepTheirPositions)
{
    ScratchFolder folder;
    const double rate = 48000.0;
    const auto input = impulseAndBurst (40000);
    writeAudioFile (folder.file ("in.wav"), input, rate, 32);

    // Programs with a linear-phase equaliser, dynamics and the limiter at work.
    for (const auto* program : { "Default", "Eisbock", "Alpenfrisch" })
    {
        const auto run = runRender ({ folder.file ("in.wav").getFullPathName(), folder.file ("out.wav").getFullPathName(),
                                      "--program", program, "-q" });
        ASSERT_EQ (run.exitCode, 0) << run.output;

        const auto output = readAudioFile (folder.file ("out.wav"));
        ASSERT_EQ (output.audio.getNumSamples(), input.getNumSamples()) << program;

        // Before the burst the impulse is the loudest sample, and the burst lines up with itself.
        auto head = silence (2, burstAt - 1000);

        for (int c = 0; c < 2; ++c)
        {
            head.copyFrom (c, 0, output.audio, c, 0, head.getNumSamples());
            EXPECT_EQ (indexOfPeak (head, c), impulseAt) << program << " channel " << c;
            EXPECT_EQ (bestLag (input, output.audio, c, burstAt, burstLength, 3000), 0) << program << " channel " << c;
        }
    }
}

TEST (RenderAlignment, WithoutCompensationTheLatencyStays)
{
    ScratchFolder folder;
    const double rate = 44100.0;
    const auto input = impulseAndBurst (30000);
    writeAudioFile (folder.file ("in.wav"), input, rate, 32);

    const auto run = runRender ({ folder.file ("in.wav").getFullPathName(), folder.file ("out.wav").getFullPathName(),
                                  "--no-compensation", "-q" });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    const auto output = readAudioFile (folder.file ("out.wav"));
    ASSERT_EQ (output.audio.getNumSamples(), input.getNumSamples());

    for (int c = 0; c < 2; ++c)
    {
        EXPECT_EQ (indexOfPeak (output.audio, c), impulseAt + latency);
        EXPECT_EQ (bestLag (input, output.audio, c, burstAt, burstLength, 3000), latency);
    }
}

TEST (RenderAlignment, NeutralSettingsReproduceTheInput)
{
    ScratchFolder folder;
    const double rate = 48000.0;
    auto input = silence (2, 48000);
    addSine (input, 997.0, rate, 0.25);
    addNoise (input, 0, 48000, 0.2, 5);
    writeAudioFile (folder.file ("in.wav"), input, rate, 32);
    const auto stored = readAudioFile (folder.file ("in.wav"));
    const auto in = folder.file ("in.wav").getFullPathName();

    // Switched off, the chain is the latency-aligned input itself: bit for bit.
    const auto off = runRender ({ in, folder.file ("off.wav").getFullPathName(), "--set", "Power=Off", "-q" });
    ASSERT_EQ (off.exitCode, 0) << off.output;
    const auto bypassed = readAudioFile (folder.file ("off.wav"));
    ASSERT_EQ (bypassed.audio.getNumSamples(), input.getNumSamples());

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_EQ (bypassed.audio.getSample (c, i), stored.audio.getSample (c, i)) << "channel " << c << " sample " << i;

    // The default program with the IIR equaliser is neutral too: flat bands, 1:1 dynamics, a
    // limiter that never acts below full scale. Its flat filters are exact only to about
    // −120 dB, a few steps of a 32-bit float at these levels.
    const auto iir = runRender ({ in, folder.file ("iir.wav").getFullPathName(), "--set", "EQ Mode=IIR", "-q" });
    ASSERT_EQ (iir.exitCode, 0) << iir.output;
    const auto neutral = readAudioFile (folder.file ("iir.wav"));
    ASSERT_TRUE (neutral.floatingPoint);
    ASSERT_EQ (neutral.audio.getNumSamples(), input.getNumSamples());

    double largestError = 0.0;

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < input.getNumSamples(); ++i)
            largestError = std::max (largestError, std::abs (neutral.audio.getSample (c, i) - stored.audio.getSample (c, i)));

    EXPECT_LE (largestError, 1.0e-6);
}

TEST (RenderAlignment, SettingsHoldFromTheFirstSample)
{
    // A host bounce starts from rest with every setting in place; nothing glides in at the start.
    // The channel gain acts after the equaliser, so +6 dB doubles the neutral output exactly.
    ScratchFolder folder;
    const double rate = 48000.0;
    auto input = silence (2, 4800);
    addSine (input, 1000.0, rate, 0.1, 0.3);
    writeAudioFile (folder.file ("in.wav"), input, rate, 32);
    const auto in = folder.file ("in.wav").getFullPathName();

    ASSERT_EQ (runRender ({ in, folder.file ("flat.wav").getFullPathName(), "--set", "EQ Mode=IIR", "-q" }).exitCode, 0);
    ASSERT_EQ (runRender ({ in, folder.file ("gain.wav").getFullPathName(), "--set", "EQ Mode=IIR", "--set", "MGain=6", "-q" })
                   .exitCode,
               0);

    const auto flat = readAudioFile (folder.file ("flat.wav"));
    const auto gained = readAudioFile (folder.file ("gain.wav"));
    const auto gain = std::pow (10.0, 6.0 / 20.0);

    // The gain link moves the second channel's gain with the first.
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 100; ++i)
            ASSERT_NEAR (gained.audio.getSample (c, i) / flat.audio.getSample (c, i), gain, 1.0e-6)
                << "channel " << c << " sample " << i;
}
