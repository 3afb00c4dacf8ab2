// Several files at once: each into the output folder under its own name, the same bytes
// whether they are rendered one after another or in parallel.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace KelvaneRenderTest;

TEST (RenderBatch, ParallelJobsGiveTheSameBytes)
{
    ScratchFolder folder;
    const juce::StringArray names { "one.wav", "two.flac", "three.aiff", "four.wav" };
    juce::StringArray inputs;

    for (int k = 0; k < names.size(); ++k)
    {
        auto audio = silence (k == 3 ? 1 : 2, 30000 + 5000 * k);
        addSine (audio, 110.0 * (k + 1), 44100.0, 0.25);
        addNoise (audio, 1000, 20000, 0.2, k);
        writeAudioFile (folder.file (names[k]), audio, 44100.0, 16);
        inputs.add (folder.file (names[k]).getFullPathName());
    }

    for (const auto* jobs : { "1", "2" })
    {
        auto arguments = inputs;
        arguments.addArray ({ "--out-dir", folder.file (juce::String ("jobs") + jobs).getFullPathName(), "--jobs", jobs,
                              "--program", "Pfundig", "--report-json", folder.file (juce::String ("jobs") + jobs + ".json").getFullPathName(),
                              "-q" });
        const auto run = runRender (arguments);
        ASSERT_EQ (run.exitCode, 0) << run.output;
    }

    for (const auto& name : names)
    {
        const auto serial = fileBytes (folder.file ("jobs1").getChildFile (name));
        ASSERT_GT (serial.getSize(), 1000u) << name;
        EXPECT_EQ (fileBytes (folder.file ("jobs2").getChildFile (name)), serial) << name;
    }

    // The reports list the files in the order given, whichever finished first.
    const auto report = juce::JSON::parse (folder.file ("jobs2.json").loadFileAsString());

    for (int k = 0; k < names.size(); ++k)
        EXPECT_TRUE (report["files"][k]["input"].toString().endsWith (names[k]));
}

TEST (RenderBatch, AFailedFileDoesNotStopTheOthers)
{
    ScratchFolder folder;
    auto audio = silence (2, 20000);
    addSine (audio, 440.0, 48000.0, 0.3);
    writeAudioFile (folder.file ("good.wav"), audio, 48000.0, 24);
    folder.file ("bad.wav").replaceWithText ("not audio");

    const auto run = runRender ({ folder.file ("bad.wav").getFullPathName(), folder.file ("good.wav").getFullPathName(),
                                  "--out-dir", folder.file ("out").getFullPathName(), "--jobs", "2", "-q" });

    EXPECT_EQ (run.exitCode, 1);
    EXPECT_TRUE (run.output.contains ("bad.wav: not a WAV, AIFF or FLAC file")) << run.output;
    EXPECT_TRUE (folder.file ("out/good.wav").existsAsFile());
    EXPECT_FALSE (folder.file ("out/bad.wav").exists());
}

TEST (RenderBatch, TwoInputsOfTheSameNameAreRefused)
{
    ScratchFolder folder;
    auto audio = silence (2, 10000);
    folder.file ("a").createDirectory();
    folder.file ("b").createDirectory();
    writeAudioFile (folder.file ("a/mix.wav"), audio, 48000.0, 24);
    writeAudioFile (folder.file ("b/mix.wav"), audio, 48000.0, 24);

    const auto run = runRender ({ folder.file ("a/mix.wav").getFullPathName(), folder.file ("b/mix.wav").getFullPathName(),
                                  "--out-dir", folder.file ("out").getFullPathName() });

    EXPECT_EQ (run.exitCode, 2);
    EXPECT_TRUE (run.output.contains ("two inputs would both be written here")) << run.output;
    EXPECT_FALSE (folder.file ("out/mix.wav").exists());
}
