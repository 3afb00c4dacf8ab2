// Settings reach the chain as the plug-in's own: typed texts through each parameter's
// text-to-value function, programs, and the state blob a host stores, in both directions.

#include "RenderTestSupport.h"

#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

using namespace KelvaneRenderTest;

namespace
{
void runBlock (OSK::KelvaneProcessor& processor)
{
    juce::AudioBuffer<double> buffer (2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

/** A processor that a host has prepared and run, so that programs and links act as in a host. */
struct HostedProcessor
{
    OSK::KelvaneProcessor processor;

    HostedProcessor()
    {
        processor.prepareToPlay (48000.0, 64);
        runBlock (processor);
    }

    void loadState (const juce::File& file)
    {
        const auto blob = fileBytes (file);
        processor.setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
        runBlock (processor);
    }

    void saveState (const juce::File& file)
    {
        juce::MemoryBlock blob;
        processor.getStateInformation (blob);
        ASSERT_TRUE (file.replaceWithData (blob.getData(), blob.getSize()));
    }

    float value (const juce::String& id) { return processor.valueTreeState.getParameter (id)->getValue(); }
};

juce::AudioBuffer<double> shortMusic()
{
    auto audio = silence (2, 24000);
    addSine (audio, 220.0, 48000.0, 0.2);
    addSine (audio, 3300.0, 48000.0, 0.05);
    addNoise (audio, 4000, 8000, 0.3, 3);
    return audio;
}
} // namespace

TEST (RenderSettings, TypedTextsLandAsTheHostsTextToValue)
{
    ScratchFolder folder;
    const std::vector<std::pair<const char*, const char*>> typed {
        { "CompThr", "-12" }, { "CompRtio", "4" },  { "EQ Mode", "IIR" }, { "Attack", "12.5" }, { "LRel", "0.35" },
        { "LCeil", "-0.8" },  { "MGain", "2.5" },   { "MetSwi", "K-12" }, { "L/R|M/S", "M/S" }, { "CAG", "On" },
    };

    juce::StringArray arguments { "--save-state", folder.file ("typed.state").getFullPathName() };
    HostedProcessor host;

    for (const auto& [id, text] : typed)
    {
        arguments.addArray ({ "--set", juce::String (id) + "=" + text });
        auto* parameter = host.processor.valueTreeState.getParameter (id);
        parameter->setValueNotifyingHost (parameter->getValueForText (text));
    }

    const auto run = runRender (arguments);
    ASSERT_EQ (run.exitCode, 0) << run.output;

    HostedProcessor loaded;
    loaded.loadState (folder.file ("typed.state"));

    for (const auto& [id, text] : typed)
        EXPECT_EQ (loaded.value (id), host.value (id)) << id << "=" << text;
}

TEST (RenderSettings, StateRoundTripsThroughTheRenderer)
{
    ScratchFolder folder;
    HostedProcessor host;
    host.processor.setCurrentProgram (4);
    runBlock (host.processor);
    host.processor.valueTreeState.getParameter ("MHiShlf")->setValueNotifyingHost (0.61f);
    host.processor.valueTreeState.getParameter ("HgSlfLnk")->setValueNotifyingHost (0.0f);
    runBlock (host.processor);
    host.processor.valueTreeState.getParameter ("SHiShlf")->setValueNotifyingHost (0.27f);
    host.saveState (folder.file ("host.state"));

    const auto run = runRender ({ "--state", folder.file ("host.state").getFullPathName(), "--save-state",
                                  folder.file ("again.state").getFullPathName() });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    HostedProcessor loaded;
    loaded.loadState (folder.file ("again.state"));

    for (int i = 0; i < host.processor.numParameters; ++i)
    {
        const auto& id = host.processor.parameterIds[static_cast<size_t> (i)];
        EXPECT_EQ (loaded.value (id), host.value (id)) << id;
    }
}

TEST (RenderSettings, AStateRendersAsTheProgramItHolds)
{
    ScratchFolder folder;
    writeAudioFile (folder.file ("in.wav"), shortMusic(), 48000.0, 24);

    HostedProcessor host;
    host.processor.setCurrentProgram (3);
    runBlock (host.processor);
    host.saveState (folder.file ("eisbock.state"));

    // Hosts that keep projects as text hold the blob in base64; that reads too.
    const auto blob = fileBytes (folder.file ("eisbock.state"));
    ASSERT_TRUE (folder.file ("eisbock.txt").replaceWithText (juce::Base64::toBase64 (blob.getData(), blob.getSize())));

    const auto in = folder.file ("in.wav").getFullPathName();
    ASSERT_EQ (runRender ({ in, folder.file ("program.wav").getFullPathName(), "--program", "Eisbock", "-q" }).exitCode, 0);
    ASSERT_EQ (runRender ({ in, folder.file ("number.wav").getFullPathName(), "--program", "4", "-q" }).exitCode, 0);
    ASSERT_EQ (runRender ({ in, folder.file ("state.wav").getFullPathName(), "--state",
                            folder.file ("eisbock.state").getFullPathName(), "-q" }).exitCode, 0);
    ASSERT_EQ (runRender ({ in, folder.file ("text.wav").getFullPathName(), "--state",
                            folder.file ("eisbock.txt").getFullPathName(), "-q" }).exitCode, 0);

    const auto expected = fileBytes (folder.file ("program.wav"));
    EXPECT_EQ (fileBytes (folder.file ("number.wav")), expected);
    EXPECT_EQ (fileBytes (folder.file ("state.wav")), expected);
    EXPECT_EQ (fileBytes (folder.file ("text.wav")), expected);
    EXPECT_NE (fileBytes (folder.file ("in.wav")), expected);
}

TEST (RenderSettings, ListsShowEveryParameterAndProgram)
{
    const auto parameters = runRender ({ "--list-parameters", "--program", "Eisbock", "--set", "CompThr=-12" });
    ASSERT_EQ (parameters.exitCode, 0) << parameters.output;

    const auto lines = juce::StringArray::fromLines (parameters.output.trim());
    EXPECT_EQ (lines.size(), 56);
    EXPECT_TRUE (parameters.output.contains ("CompThr     -12.0")) << parameters.output;
    EXPECT_TRUE (parameters.output.contains ("CompRtio    4.00:1")) << parameters.output;
    EXPECT_TRUE (parameters.output.contains ("EQ Mode     FIR")) << parameters.output;

    const auto programs = runRender ({ "--list-programs" });
    ASSERT_EQ (programs.exitCode, 0);
    EXPECT_EQ (programs.output.trim(), "1  Default\n2  Alpenfrisch\n3  BergPanorama\n4  Eisbock\n5  Pfundig\n6  Almenrausch");
}
