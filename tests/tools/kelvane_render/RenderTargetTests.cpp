// Loudness targets and true-peak limits, checked by measuring the files written.

#include "DemoPiece.h"
#include "LoudnessMeter.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace KelvaneRenderTest;

namespace
{
KelvaneRender::LoudnessFigures measureFile (const juce::File& file)
{
    const auto contents = readAudioFile (file);
    KelvaneRender::LoudnessMeter meter (contents.audio.getNumChannels(), contents.sampleRate);
    meter.addFrames (contents.audio.getArrayOfReadPointers(), contents.audio.getNumSamples());
    return meter.getFigures();
}

/** The demo piece, 8 s of music-like material, as a 24-bit file. */
juce::File writeMusic (const ScratchFolder& folder)
{
    const auto file = folder.file ("music.wav");
    writeAudioFile (file, KelvaneRender::makeDemoPiece (44100.0, 8.0), 44100.0, 24);
    return file;
}

juce::var readJson (const juce::File& file)
{
    return juce::JSON::parse (file.loadFileAsString())["files"][0];
}
} // namespace

TEST (RenderTargets, LoudnessTargetIsMetWithinATenthOfALu)
{
    ScratchFolder folder;
    const auto music = writeMusic (folder);

    // From the neutral program (the drive is plain gain at first) and from a hard-working one.
    const std::vector<std::pair<const char*, double>> cases { { "Default", -14.0 }, { "Default", -9.0 }, { "Eisbock", -10.0 } };

    for (const auto& [program, target] : cases)
    {
        const auto run = runRender ({ music.getFullPathName(), folder.file ("out.wav").getFullPathName(), "--program", program,
                                      "--target-lufs", juce::String (target), "--report-json",
                                      folder.file ("report.json").getFullPathName(), "-q" });
        ASSERT_EQ (run.exitCode, 0) << program << " " << target << ": " << run.output;

        EXPECT_NEAR (measureFile (folder.file ("out.wav")).integratedLufs, target, 0.1) << program << " " << target;

        const auto report = readJson (folder.file ("report.json"));
        EXPECT_TRUE (static_cast<bool> (report["loudnessTarget"]["met"])) << program << " " << target;
        EXPECT_NEAR (static_cast<double> (report["outputAnalysis"]["integratedLufs"]), target, 0.1);
    }
}

TEST (RenderTargets, MaxTruePeakLeavesNoPeakAboveTheLimit)
{
    ScratchFolder folder;
    const auto music = writeMusic (folder);

    // Driven 20 dB into the limiter, whose sample-peak ceiling lets inter-sample peaks through.
    const juce::StringArray hard { music.getFullPathName(), folder.file ("hard.wav").getFullPathName(), "--program", "Eisbock",
                                   "--set", "LGain=20", "-q" };
    ASSERT_EQ (runRender (hard).exitCode, 0);
    ASSERT_GT (measureFile (folder.file ("hard.wav")).truePeakDb, 0.0);

    auto limited = hard;
    limited.set (1, folder.file ("limited.wav").getFullPathName());
    limited.addArray ({ "--max-true-peak", "-1" });
    const auto run = runRender (limited);
    ASSERT_EQ (run.exitCode, 0) << run.output;

    const auto truePeak = measureFile (folder.file ("limited.wav")).truePeakDb;
    EXPECT_LE (truePeak, -1.0);
    EXPECT_GE (truePeak, -1.1) << "the ceiling came down further than needed";
}

TEST (RenderTargets, BothTargetsHoldTogether)
{
    ScratchFolder folder;
    const auto music = writeMusic (folder);
    const auto run = runRender ({ music.getFullPathName(), folder.file ("out.wav").getFullPathName(), "--program", "Eisbock",
                                  "--target-lufs", "-13", "--max-true-peak", "-1", "-q" });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    const auto figures = measureFile (folder.file ("out.wav"));
    EXPECT_NEAR (figures.integratedLufs, -13.0, 0.1);
    EXPECT_LE (figures.truePeakDb, -1.0);
}

TEST (RenderTargets, AnUnreachableTargetIsReportedPlainly)
{
    ScratchFolder folder;
    const auto music = writeMusic (folder);
    const auto run = runRender ({ music.getFullPathName(), folder.file ("out.wav").getFullPathName(), "--program", "Eisbock",
                                  "--target-lufs", "-3", "--max-true-peak", "-1", "--report-json",
                                  folder.file ("report.json").getFullPathName(), "-q" });

    EXPECT_EQ (run.exitCode, 3) << run.output;
    EXPECT_TRUE (run.output.contains ("loudness target -3.0 LUFS cannot be reached under a ceiling of")) << run.output;
    EXPECT_TRUE (run.output.contains ("LU short")) << run.output;

    // The best the chain can do is still written, and the true-peak limit still holds.
    const auto report = readJson (folder.file ("report.json"));
    EXPECT_FALSE (static_cast<bool> (report["loudnessTarget"]["met"]));
    EXPECT_TRUE (static_cast<bool> (report["truePeakTarget"]["met"]));
    EXPECT_LE (measureFile (folder.file ("out.wav")).truePeakDb, -1.0);
}

TEST (RenderTargets, TheReportMeasuresInputOutputAndStages)
{
    ScratchFolder folder;
    const auto music = writeMusic (folder);
    const auto run = runRender ({ music.getFullPathName(), folder.file ("out.wav").getFullPathName(), "--program", "Eisbock",
                                  "--report-json", folder.file ("report.json").getFullPathName() });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    for (const auto* row : { "Integrated", "Loudness range", "Sample peak", "True peak", "Gain reduction", "compressor" })
        EXPECT_TRUE (run.output.contains (row)) << row << "\n" << run.output;

    const auto report = readJson (folder.file ("report.json"));
    const auto input = measureFile (music);
    const auto output = measureFile (folder.file ("out.wav"));
    EXPECT_NEAR (static_cast<double> (report["inputAnalysis"]["integratedLufs"]), input.integratedLufs, 0.001);
    EXPECT_NEAR (static_cast<double> (report["inputAnalysis"]["truePeakDbtp"]), input.truePeakDb, 0.001);
    EXPECT_NEAR (static_cast<double> (report["outputAnalysis"]["integratedLufs"]), output.integratedLufs, 0.001);
    EXPECT_NEAR (static_cast<double> (report["outputAnalysis"]["samplePeakDbfs"]), output.samplePeakDb, 0.001);
    EXPECT_NEAR (static_cast<double> (report["outputAnalysis"]["loudnessRangeLu"]), output.loudnessRangeLu, 0.001);

    // Eisbock compresses hard and drives the limiter; its expander stays at 1:1.
    EXPECT_GT (static_cast<double> (report["largestGainReductionDb"]["compressor"]), 3.0);
    EXPECT_GT (static_cast<double> (report["largestGainReductionDb"]["limiter"]), 1.0);
    EXPECT_EQ (static_cast<double> (report["largestGainReductionDb"]["expander"]), 0.0);
}
