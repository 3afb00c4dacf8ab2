#include "RenderError.h"
#include "RenderOptions.h"

#include <gtest/gtest.h>

using namespace KelvaneRender;

namespace
{
RenderOptions parse (const juce::String& line)
{
    return parseCommandLine (juce::StringArray::fromTokens (line, false));
}
} // namespace

TEST (RenderOptions, ReadsFilesSettingsAndTargets)
{
    const auto options = parseCommandLine ({ "in.wav", "out.flac", "--program", "Eisbock", "--set", "CompThr=-12", "-s",
                                             "EQ Mode=IIR", "--bits", "16", "--no-dither", "--target-lufs", "-14",
                                             "--max-true-peak=-1", "--jobs", "2", "--report-json", "r.json", "-q" });

    EXPECT_EQ (options.inputs, juce::StringArray ("in.wav"));
    EXPECT_EQ (options.output, "out.flac");
    EXPECT_EQ (options.program, "Eisbock");
    ASSERT_EQ (options.settings.size(), 2u);
    EXPECT_EQ (options.settings[0].id, "CompThr");
    EXPECT_EQ (options.settings[0].text, "-12");
    EXPECT_EQ (options.settings[1].id, "EQ Mode");
    EXPECT_EQ (options.settings[1].text, "IIR");
    EXPECT_EQ (options.bits, OutputBits::int16);
    EXPECT_FALSE (options.dither);
    EXPECT_DOUBLE_EQ (*options.targetLufs, -14.0);
    EXPECT_DOUBLE_EQ (*options.maxTruePeakDb, -1.0);
    EXPECT_EQ (options.jobs, 2);
    EXPECT_EQ (options.reportJsonFile, "r.json");
    EXPECT_TRUE (options.quiet);
    EXPECT_TRUE (options.latencyCompensation);
}

TEST (RenderOptions, SeveralInputsGoToAnOutputFolder)
{
    const auto options = parse ("a.wav b.aiff c.flac --out-dir mastered --no-compensation");

    EXPECT_EQ (options.inputs, juce::StringArray ({ "a.wav", "b.aiff", "c.flac" }));
    EXPECT_EQ (options.outputFolder, "mastered");
    EXPECT_TRUE (options.output.isEmpty());
    EXPECT_FALSE (options.latencyCompensation);
}

namespace
{
struct BadCommand
{
    const char* line;
    const char* messagePart;
};

/** Names the case in test listings, instead of its bytes. */
void PrintTo (const BadCommand& command, std::ostream* stream) { *stream << "\"" << command.line << "\""; }

class RenderOptionsRefuse : public testing::TestWithParam<BadCommand>
{
};
} // namespace

TEST_P (RenderOptionsRefuse, WithAOneLineReason)
{
    try
    {
        (void) parse (GetParam().line);
        FAIL() << "accepted: " << GetParam().line;
    }
    catch (const RenderError& error)
    {
        const juce::String message (error.what());
        EXPECT_TRUE (message.contains (GetParam().messagePart)) << message;
        EXPECT_FALSE (message.containsChar ('\n')) << message;
    }
}

INSTANTIATE_TEST_SUITE_P (Cases, RenderOptionsRefuse,
                          testing::Values (BadCommand { "in.wav", "missing the output" },
                                           BadCommand { "a.wav b.wav c.wav", "--out-dir" },
                                           BadCommand { "in.wav out.wav --bits 20", "--bits" },
                                           BadCommand { "in.wav out.wav --set CompThr", "ID=TEXT" },
                                           BadCommand { "in.wav out.wav --target-lufs loud", "expects a number" },
                                           BadCommand { "in.wav out.wav --target-lufs -14dB", "expects a number" },
                                           BadCommand { "in.wav out.wav --max-true-peak 3", "from -30 to 0" },
                                           BadCommand { "in.wav out.wav --jobs 1.5", "--jobs" },
                                           BadCommand { "in.wav out.wav --program Eisbock --state s.bin", "give one of them" },
                                           BadCommand { "in.wav out.wav --frobnicate", "unknown option --frobnicate" },
                                           BadCommand { "in.wav out.wav --program", "needs a value" },
                                           BadCommand { "", "nothing to do" }));
