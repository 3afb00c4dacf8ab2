// Every problem ends with one line naming it, a non-zero exit status and no output file:
// neither a half-written one nor the loss of the file that was there before.

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace KelvaneRenderTest;

extern char** environ;

namespace
{
struct ErrorCase
{
    const char* name;
    std::vector<const char*> arguments; ///< "IN", "OUT" and "DIR" stand for files in the scratch folder
    const char* messagePart;
    int exitCode;
};

/** Names the case in test listings, instead of its bytes. */
void PrintTo (const ErrorCase& errorCase, std::ostream* stream) { *stream << errorCase.name; }

/** The files every case starts from. */
void prepareFiles (const ScratchFolder& folder)
{
    auto music = silence (2, 8000);
    addSine (music, 440.0, 44100.0, 0.3);
    writeAudioFile (folder.file ("in.wav"), music, 44100.0, 24);

    auto surround = silence (3, 8000);
    addSine (surround, 440.0, 44100.0, 0.3);
    writeAudioFile (folder.file ("surround.wav"), surround, 44100.0, 24);

    folder.file ("text.wav").replaceWithText ("This is not audio, whatever its name says.\n");
    const auto whole = fileBytes (folder.file ("in.wav"));
    folder.file ("cut.wav").replaceWithData (whole.getData(), whole.getSize() / 2);
    folder.file ("notes.state").replaceWithText ("not a state");
    folder.file ("folder.wav").createDirectory();
    folder.file ("out.wav").replaceWithText ("the previous output");
}

class RenderErrors : public testing::TestWithParam<ErrorCase>
{
};
} // namespace

TEST_P (RenderErrors, GiveOneLineAndLeaveNoOutput)
{
    ScratchFolder folder;
    prepareFiles (folder);
    const auto before = folder.listFiles();

    juce::StringArray arguments;

    for (const juce::String argument : GetParam().arguments)
        arguments.add (argument.startsWith ("@") ? folder.file (argument.substring (1)).getFullPathName() : argument);

    const auto run = runRender (arguments);
    const auto lines = juce::StringArray::fromLines (run.output.trim());

    EXPECT_EQ (run.exitCode, GetParam().exitCode) << run.output;
    ASSERT_EQ (lines.size(), 1) << run.output;
    EXPECT_TRUE (lines[0].startsWith ("kelvane-render: error: ")) << run.output;
    EXPECT_TRUE (lines[0].contains (GetParam().messagePart)) << run.output;

    EXPECT_EQ (folder.listFiles(), before) << "files were left behind";
    EXPECT_EQ (folder.file ("out.wav").loadFileAsString(), "the previous output");
}

INSTANTIATE_TEST_SUITE_P (
    Cases, RenderErrors,
    testing::Values (
        ErrorCase { "MissingInput", { "@missing.wav", "@out.wav" }, "missing.wav: no such file", 1 },
        ErrorCase { "FolderAsInput", { "@folder.wav", "@out.wav" }, "is a folder", 1 },
        ErrorCase { "NotAudio", { "@text.wav", "@out.wav" }, "not a WAV, AIFF or FLAC file, or damaged", 1 },
        ErrorCase { "CutOffFile", { "@cut.wav", "@out.wav" }, "cut.wav: damaged", 1 },
        ErrorCase { "ThreeChannels", { "@surround.wav", "@out.wav" }, "3 channels; only mono and stereo", 1 },
        ErrorCase { "UnknownParameter", { "@in.wav", "@out.wav", "--set", "CompThresh=-12" }, "did you mean CompThr", 2 },
        ErrorCase { "ValueWithoutNumber", { "@in.wav", "@out.wav", "--set", "LCeil=high" }, "LCeil=high: not a number", 2 },
        ErrorCase { "ValueOutOfRange", { "@in.wav", "@out.wav", "--set", "LGain=60" }, "out of range", 2 },
        ErrorCase { "UnknownChoice", { "@in.wav", "@out.wav", "--set", "EQ Mode=Linear" }, "choose one of IIR, FIR", 2 },
        ErrorCase { "UnknownProgram", { "@in.wav", "@out.wav", "--program", "Eisbok" }, "unknown program \"Eisbok\"", 2 },
        ErrorCase { "NotAState", { "@in.wav", "@out.wav", "--state", "@notes.state" }, "not a Kelvane state", 2 },
        ErrorCase { "OutputInMissingFolder", { "@in.wav", "@nowhere/out.wav" }, "does not exist", 1 },
        ErrorCase { "OutputBesideAFile", { "@in.wav", "@in.wav/out.wav" }, "does not exist", 1 },
        ErrorCase { "OutputIsAFolder", { "@in.wav", "@folder.wav" }, "is a folder", 1 },
        ErrorCase { "OutputReplacesInput", { "@in.wav", "@./in.wav" }, "replace its own input", 2 },
        ErrorCase { "OutputFolderHoldsTheInput", { "@in.wav", "--out-dir", "@" }, "replace its own input", 2 },
        ErrorCase { "UnknownOutputFormat", { "@in.wav", "@out.mp3" }, "cannot tell the format", 1 },
        ErrorCase { "FormatCannotHoldSamples", { "@in.wav", "@out.flac", "--bits", "32f" }, "FLAC files cannot hold", 1 },
        ErrorCase { "TargetWithoutLimiter", { "@in.wav", "@out.wav", "--target-lufs", "-14", "--set", "LByp=On" }, "limiter", 2 }),
    [] (const testing::TestParamInfo<ErrorCase>& param) { return param.param.name; });

TEST (RenderError, OutputThatCannotBeWrittenIsReported)
{
    ScratchFolder folder;
    prepareFiles (folder);
    const auto locked = folder.file ("locked");
    locked.createDirectory();
    locked.setReadOnly (true);

    // The superuser may write into a read-only folder, but nobody may create files in /proc.
    const auto target = geteuid() == 0 ? juce::File ("/proc/kelvane-render-test.wav") : locked.getChildFile ("out.wav");
    const auto run = runRender ({ folder.file ("in.wav").getFullPathName(), target.getFullPathName() });

    EXPECT_EQ (run.exitCode, 1);
    EXPECT_TRUE (run.output.startsWith ("kelvane-render: error: " + target.getFullPathName() + ": cannot create a file in"))
        << run.output;
    EXPECT_FALSE (target.exists());
    EXPECT_EQ (locked.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST (RenderError, LinkedOutputThatIsTheInputIsRefused)
{
    ScratchFolder folder;
    prepareFiles (folder);
    ASSERT_TRUE (folder.file ("in.wav").createSymbolicLink (folder.file ("link.wav"), false));
    const auto before = fileBytes (folder.file ("in.wav"));

    const auto run = runRender ({ folder.file ("in.wav").getFullPathName(), folder.file ("link.wav").getFullPathName() });

    EXPECT_EQ (run.exitCode, 2);
    EXPECT_TRUE (run.output.contains ("replace its own input")) << run.output;
    EXPECT_EQ (fileBytes (folder.file ("in.wav")), before);
}

TEST (RenderError, AnInterruptedRenderLeavesTheOldOutput)
{
    ScratchFolder folder;
    prepareFiles (folder);

    // Long enough that the signal arrives while it renders.
    auto longMusic = silence (2, 44100 * 120);
    addSine (longMusic, 330.0, 44100.0, 0.2);
    writeAudioFile (folder.file ("long.wav"), longMusic, 44100.0, 16);

    const auto in = folder.file ("long.wav").getFullPathName().toStdString();
    const auto out = folder.file ("out.wav").getFullPathName().toStdString();
    std::vector<std::string> words { KELVANE_RENDER_PROGRAM, in, out, "--program", "Eisbock", "--target-lufs", "-10", "-q" };
    std::vector<char*> argv;

    for (auto& word : words)
        argv.push_back (word.data());

    argv.push_back (nullptr);

    pid_t child = 0;
    ASSERT_EQ (posix_spawn (&child, argv[0], nullptr, nullptr, argv.data(), environ), 0);

    // The temporary file appears once rendering has begun.
    const auto hasTemporaryFile = [&folder]
    {
        for (const auto& name : folder.listFiles())
            if (name.endsWith (".part"))
                return true;

        return false;
    };

    for (int wait = 0; wait < 6000 && ! hasTemporaryFile(); ++wait)
        juce::Thread::sleep (10);

    ASSERT_TRUE (hasTemporaryFile());
    kill (child, SIGINT);

    int status = 0;
    ASSERT_EQ (waitpid (child, &status, 0), child);
    ASSERT_TRUE (WIFEXITED (status));
    EXPECT_EQ (WEXITSTATUS (status), 130);
    EXPECT_FALSE (hasTemporaryFile());
    EXPECT_EQ (folder.file ("out.wav").loadFileAsString(), "the previous output");
}
