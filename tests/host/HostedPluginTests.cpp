// What a host sees of the shipped binaries: the built VST3 and LV2 are loaded through JUCE's
// plug-in hosting, exactly as a digital audio workstation loads them, and the LV2 bundle's
// description is read by lilv's lv2info.

#include "BuiltPlugins.h"
#include "helpers/ExpectedHostOrder.h"

#include <cstdlib>
#include <iterator>
#include <memory>

using namespace KelvaneTest;

namespace
{
const juce::StringArray productParameterIds (expectedHostOrder, static_cast<int> (std::size (expectedHostOrder)));

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr int latency = 2689;

class HostedPlugin : public ::testing::TestWithParam<Format>
{
protected:
    void SetUp() override
    {
        juce::String error;
        plugin = loadBuiltPlugin (host, GetParam(), sampleRate, blockSize, error);
        ASSERT_NE (plugin, nullptr) << error;
    }

    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->releaseResources();
    }

    juce::AudioProcessorParameter* parameter (const juce::String& name) const { return findParameter (*plugin, name); }

    /** Prepares, runs one block and lets the host handle the plug-in's messages, as hosts do
        between blocks; latency changes reach a host this way. */
    void prepareAndSettle()
    {
        plugin->prepareToPlay (sampleRate, blockSize);
        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();
        juce::MidiBuffer midi;
        plugin->processBlock (buffer, midi);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    }

    KelvaneHost::PluginHost host;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
};

juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}
} // namespace

TEST_P (HostedPlugin, IsKelvaneWithoutMidi)
{
    EXPECT_EQ (plugin->getName(), "Kelvane");
    EXPECT_EQ (plugin->getPluginDescription().manufacturerName, "Oskvar Audio");
    EXPECT_FALSE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
}

TEST_P (HostedPlugin, ListsTheProductParametersAndMetersWithTheirIdsAsNames)
{
    juce::StringArray names;

    for (auto* p : plugin->getParameters())
        names.add (p->getName (100));

    // Each wrapper adds its own host bypass parameter after ours, and the VST3 wrapper a program
    // parameter for the factory programs.
    ASSERT_EQ (names.size(), productParameterIds.size() + (GetParam() == Format::vst3 ? 2 : 1));
    EXPECT_TRUE (names.contains ("Bypass"));
    EXPECT_EQ (names.contains ("Program"), GetParam() == Format::vst3);

    if (GetParam() == Format::vst3)
    {
        for (int i = 0; i < productParameterIds.size(); ++i)
            EXPECT_EQ (names[i], productParameterIds[i]) << "host index " << i;
    }
    else
    {
        // LV2 describes parameters as an unordered set of properties; every one must be there.
        for (const auto& id : productParameterIds)
            EXPECT_TRUE (names.contains (id)) << id;
    }
}

TEST_P (HostedPlugin, ShowsTheDefaultValues)
{
    struct Case
    {
        const char* id;
        const char* vst3Text; ///< VST3 carries the plug-in's own value texts
        const char* lv2Text;  ///< LV2 has no value texts: hosts show the value or the choice
    };

    const Case cases[] = {
        { "Attack", "0.100", "0" },
        { "Release", "0.200", "0.5" },
        { "CompThr", "0.00", "1" },
        { "Ratio", "1.00:1", "0" },
        { "MetSwi", "K-20", "K-20" },
        { "EQ Mode", "FIR", "FIR" },
        { "Power", "On", "On" },
    };

    for (const auto& c : cases)
    {
        auto* p = parameter (c.id);
        ASSERT_NE (p, nullptr) << c.id;
        EXPECT_EQ (p->getCurrentValueAsText(), GetParam() == Format::vst3 ? c.vst3Text : c.lv2Text) << c.id;
    }
}

TEST_P (HostedPlugin, AcceptsStereoAndRefusesMono)
{
    using Set = juce::AudioChannelSet;
    EXPECT_TRUE (plugin->checkBusesLayoutSupported (layoutOf (Set::stereo(), Set::stereo())));
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (layoutOf (Set::mono(), Set::mono())));
    EXPECT_FALSE (plugin->checkBusesLayoutSupported (layoutOf (Set::mono(), Set::stereo())));
    EXPECT_EQ (plugin->getTotalNumInputChannels(), 2);
    EXPECT_EQ (plugin->getTotalNumOutputChannels(), 2);
}

TEST_P (HostedPlugin, ReportsItsLatencyAfterPreparation)
{
    prepareAndSettle();
    EXPECT_EQ (plugin->getLatencySamples(), latency);
}

TEST_P (HostedPlugin, HostBypassDelaysTheInputByTheLatency)
{
    prepareAndSettle();

    // JUCE's VST3 host bypasses through the plug-in's bypass parameter; an LV2 host sets the
    // wrapper's "Bypass" control itself and keeps running the plug-in.
    auto* bypass = parameter ("Bypass");
    ASSERT_NE (bypass, nullptr);

    if (GetParam() == Format::lv2)
        bypass->setValueNotifyingHost (1.0f);

    constexpr int impulseAt = 100;
    constexpr int numBlocks = (latency + impulseAt) / blockSize + 2;
    juce::MidiBuffer midi;
    std::vector<float> left, right;

    for (int block = 0; block < numBlocks; ++block)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();

        if (block == 0)
        {
            buffer.setSample (0, impulseAt, 1.0f);
            buffer.setSample (1, impulseAt, -0.5f);
        }

        if (GetParam() == Format::vst3)
            plugin->processBlockBypassed (buffer, midi);
        else
            plugin->processBlock (buffer, midi);

        left.insert (left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
        right.insert (right.end(), buffer.getReadPointer (1), buffer.getReadPointer (1) + blockSize);
    }

    for (size_t i = 0; i < left.size(); ++i)
    {
        const bool atImpulse = i == static_cast<size_t> (impulseAt + latency);
        ASSERT_EQ (left[i], atImpulse ? 1.0f : 0.0f) << "sample " << i;
        ASSERT_EQ (right[i], atImpulse ? -0.5f : 0.0f) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedPlugin, ::testing::Values (Format::vst3, Format::lv2), formatName);

//==============================================================================
TEST (Lv2Bundle, LilvDescribesStereoAudioPortsAndALatency)
{
    const auto bundleFolder = juce::File (KELVANE_LV2_BUNDLE).getParentDirectory();
    ::setenv ("LV2_PATH", bundleFolder.getFullPathName().toRawUTF8(), 1);

    juce::ChildProcess lv2info;
    ASSERT_TRUE (lv2info.start (juce::StringArray { "lv2info", KELVANE_LV2_URI })) << "lv2info (lilv-utils) is needed";
    const auto output = lv2info.readAllProcessOutput();
    ASSERT_EQ (lv2info.getExitCode(), 0u) << output;

    EXPECT_TRUE (output.contains ("Name:              Kelvane")) << output;
    EXPECT_TRUE (output.contains ("Has latency:       yes")) << output;

    // lv2info lists one section per port, headed "Port N:", with the port's types below.
    juce::StringArray ports;

    for (const auto& line : juce::StringArray::fromLines (output))
    {
        if (line.trim().startsWith ("Port ") && line.trim().endsWith (":"))
            ports.add ({});
        else if (! ports.isEmpty())
            ports.getReference (ports.size() - 1) << line << "\n";
    }

    int audioIns = 0, audioOuts = 0;
    bool latencyPort = false;

    for (const auto& port : ports)
    {
        const bool audio = port.contains ("lv2core#AudioPort");
        audioIns += audio && port.contains ("lv2core#InputPort") ? 1 : 0;
        audioOuts += audio && port.contains ("lv2core#OutputPort") ? 1 : 0;
        latencyPort = latencyPort || port.contains ("lv2core#reportsLatency");
    }

    EXPECT_EQ (audioIns, 2);
    EXPECT_EQ (audioOuts, 2);
    EXPECT_TRUE (latencyPort);
}

//==============================================================================
namespace
{
class HostedState : public ::testing::TestWithParam<Format>
{
};

std::vector<float> render (HostedRunner& runner)
{
    juce::Random random (17);
    std::vector<float> left (8192), right (8192);

    for (size_t n = 0; n < left.size(); ++n)
    {
        left[n] = 0.5f * (2.0f * random.nextFloat() - 1.0f);
        right[n] = 0.5f * (2.0f * random.nextFloat() - 1.0f);
    }

    std::vector<float> out;
    runner.process (left, right, &out);
    return out;
}
} // namespace

TEST_P (HostedState, FactoryProgramsAreListed)
{
    HostedRunner runner (GetParam(), 48000.0);
    ASSERT_TRUE (runner.loaded());

    const juce::StringArray expected { "Default", "Alpenfrisch", "BergPanorama", "Eisbock", "Pfundig", "Almenrausch" };
    ASSERT_EQ (runner.plugin->getNumPrograms(), expected.size());

    juce::StringArray names;

    for (int i = 0; i < expected.size(); ++i)
        names.add (runner.plugin->getProgramName (i));

    // LV2 presets are an unordered set; VST3 keeps the program order.
    if (GetParam() == Format::lv2)
    {
        names.sort (false);
        auto sorted = expected;
        sorted.sort (false);
        EXPECT_EQ (names, sorted);
    }
    else
    {
        EXPECT_EQ (names, expected);
    }
}

TEST_P (HostedState, SavedStateRestoresParametersAndSoundInAFreshInstance)
{
    HostedRunner original (GetParam(), 48000.0);
    ASSERT_TRUE (original.loaded());

    // Settings away from the defaults, with the two equaliser channels apart. The links are
    // switched off first (at the next block): a host's copy of the parameters does not see a
    // partner that a link moves inside the plug-in, and this test compares the host's copies.
    for (const char* linkSwitch : { "HgSlfLnk", "HgBndLnk", "MdBndLnk", "LwBndLnk", "LwSlfLnk", "GainLnk" })
        original.set (linkSwitch, 0.0f);

    original.runSilence (512);

    const std::pair<const char*, float> settings[] = { { "L/R|M/S", 1.0f }, { "MGain", 0.4f }, { "SGain", 0.62f },
                                                       { "MMidBand", 0.7f }, { "SMidBand", 0.3f }, { "CompThr", 0.6f },
                                                       { "CompRtio", 0.3f }, { "CAG", 1.0f }, { "LGain", 0.2f },
                                                       { "Attack", 0.4f }, { "MetSwi", 1.0f } };

    for (const auto& [name, value] : settings)
        original.set (name, value);

    original.settle();
    juce::MemoryBlock state;
    original.plugin->getStateInformation (state);

    HostedRunner restored (GetParam(), 48000.0);
    ASSERT_TRUE (restored.loaded());
    restored.plugin->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    restored.settle();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    // The product's parameters (not the meters, which are outputs).
    for (int i = 0; i < 56; ++i)
        EXPECT_EQ (restored.plugin->getParameters()[i]->getValue(), original.plugin->getParameters()[i]->getValue())
            << original.plugin->getParameters()[i]->getName (100);

    EXPECT_EQ (render (restored), render (original));
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedState, ::testing::Values (Format::vst3, Format::lv2), formatName);
