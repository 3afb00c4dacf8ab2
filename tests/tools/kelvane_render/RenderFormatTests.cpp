// Output files keep the input's format, rate, bit depth and channel count unless told
// otherwise; 16- and 24-bit output is dithered, reproducibly.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace KelvaneRenderTest;

namespace
{
juce::AudioBuffer<double> tones (int channels, int length, double rate)
{
    auto audio = silence (channels, length);
    addSine (audio, 440.0, rate, 0.3);
    addNoise (audio, length / 4, length / 2, 0.1, 9);
    return audio;
}

struct FormatCase
{
    const char* input;
    int inputBits;
    double rate;
    const char* output;
    const char* bitsOption; ///< empty: keep the input's
    const char* expectedFormat;
    int expectedBits;
    bool expectedFloat;
};

/** Names the case in test listings, instead of its bytes. */
void PrintTo (const FormatCase& format, std::ostream* stream)
{
    *stream << format.input << " (" << format.inputBits << " bit) to " << format.output << " "
            << (juce::String (format.bitsOption).isEmpty() ? "" : "--bits ") << format.bitsOption;
}

class RenderFormats : public testing::TestWithParam<FormatCase>
{
};
} // namespace

TEST_P (RenderFormats, WriteTheFormatAsked)
{
    const auto& format = GetParam();
    ScratchFolder folder;
    const auto input = tones (2, 20000, format.rate);
    writeAudioFile (folder.file (format.input), input, format.rate, format.inputBits);

    juce::StringArray arguments { folder.file (format.input).getFullPathName(), folder.file (format.output).getFullPathName(),
                                  "--program", "Alpenfrisch", "-q" };

    if (juce::String (format.bitsOption).isNotEmpty())
        arguments.addArray ({ "--bits", format.bitsOption });

    const auto run = runRender (arguments);
    ASSERT_EQ (run.exitCode, 0) << run.output;

    const auto output = readAudioFile (folder.file (format.output));
    EXPECT_TRUE (output.formatName.startsWith (format.expectedFormat)) << output.formatName;
    EXPECT_EQ (output.bitsPerSample, format.expectedBits);
    EXPECT_EQ (output.floatingPoint, format.expectedFloat);
    EXPECT_EQ (output.sampleRate, format.rate);
    EXPECT_EQ (output.audio.getNumChannels(), 2);
    EXPECT_EQ (output.audio.getNumSamples(), input.getNumSamples());
}

INSTANTIATE_TEST_SUITE_P (Cases, RenderFormats,
                          testing::Values (FormatCase { "in.wav", 16, 44100.0, "out.wav", "", "WAV", 16, false },
                                           FormatCase { "in.wav", 24, 48000.0, "out.wav", "", "WAV", 24, false },
                                           FormatCase { "in.wav", 32, 96000.0, "out.wav", "", "WAV", 32, true },
                                           FormatCase { "in.aiff", 16, 44100.0, "out.aiff", "", "AIFF", 16, false },
                                           FormatCase { "in.aiff", 24, 48000.0, "out.aif", "", "AIFF", 24, false },
                                           FormatCase { "in.flac", 16, 44100.0, "out.flac", "", "FLAC", 16, false },
                                           FormatCase { "in.flac", 24, 88200.0, "out.flac", "", "FLAC", 24, false },
                                           FormatCase { "in.wav", 32, 44100.0, "out.wav", "16", "WAV", 16, false },
                                           FormatCase { "in.wav", 16, 44100.0, "out.wav", "32f", "WAV", 32, true },
                                           FormatCase { "in.flac", 24, 48000.0, "out.wav", "", "WAV", 24, false },
                                           FormatCase { "in.wav", 32, 48000.0, "out.flac", "24", "FLAC", 24, false }));

TEST (RenderFormat, MonoIsMasteredAsDualMonoAndWrittenAsMono)
{
    ScratchFolder folder;
    const double rate = 44100.0;
    const auto mono = tones (1, 30000, rate);
    auto dual = silence (2, mono.getNumSamples());

    for (int c = 0; c < 2; ++c)
        dual.copyFrom (c, 0, mono, 0, 0, mono.getNumSamples());

    writeAudioFile (folder.file ("mono.wav"), mono, rate, 24);
    writeAudioFile (folder.file ("dual.wav"), dual, rate, 24);

    for (const auto* name : { "mono", "dual" })
    {
        const auto run = runRender ({ folder.file (juce::String (name) + ".wav").getFullPathName(),
                                      folder.file (juce::String (name) + "-out.wav").getFullPathName(), "--program", "Eisbock",
                                      "--bits", "32f", "-q" });
        ASSERT_EQ (run.exitCode, 0) << run.output;
    }

    const auto monoOut = readAudioFile (folder.file ("mono-out.wav"));
    const auto dualOut = readAudioFile (folder.file ("dual-out.wav"));
    ASSERT_EQ (monoOut.audio.getNumChannels(), 1);
    ASSERT_EQ (monoOut.audio.getNumSamples(), mono.getNumSamples());

    for (int i = 0; i < mono.getNumSamples(); ++i)
        ASSERT_EQ (monoOut.audio.getSample (0, i), dualOut.audio.getSample (0, i)) << i;
}

TEST (RenderFormat, DitherIsTpdfAndTheSameOnEveryRun)
{
    ScratchFolder folder;
    const double rate = 44100.0;
    writeAudioFile (folder.file ("in.wav"), tones (2, 20000, rate), rate, 16);
    const auto in = folder.file ("in.wav").getFullPathName();

    // Switched off, the chain gives back the 16-bit input, which dither may move by one step at most.
    for (const auto* name : { "a.wav", "b.wav" })
        ASSERT_EQ (runRender ({ in, folder.file (name).getFullPathName(), "--set", "Power=Off", "-q" }).exitCode, 0);

    ASSERT_EQ (runRender ({ in, folder.file ("plain.wav").getFullPathName(), "--set", "Power=Off", "--no-dither", "-q" }).exitCode, 0);

    EXPECT_EQ (fileBytes (folder.file ("a.wav")), fileBytes (folder.file ("b.wav")));
    EXPECT_EQ (fileBytes (folder.file ("plain.wav")), fileBytes (folder.file ("in.wav")));

    const auto input = readAudioFile (folder.file ("in.wav"));
    const auto dithered = readAudioFile (folder.file ("a.wav"));
    int moved = 0;

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < input.audio.getNumSamples(); ++i)
        {
            const auto steps = std::abs (dithered.audio.getSample (c, i) - input.audio.getSample (c, i)) * 32768.0;
            ASSERT_LE (steps, 1.0 + 1.0e-9);
            moved += steps > 0.5 ? 1 : 0;
        }

    // Triangular noise of ±1 step moves a sample on the grid a quarter of the time.
    EXPECT_NEAR (moved / (2.0 * input.audio.getNumSamples()), 0.25, 0.03);
}
