#include "helpers/FixtureProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using KelvaneTest::FixtureProcessor;
using KelvaneTest::RecordingDsp;

namespace
{
void registerOneParameter (FixtureProcessor& p)
{
    p.createFloatParameter (0, "Level", 0.5f, 0.0f, 1.0f, "", false);
}

struct Lifecycle : ::testing::Test
{
    FixtureProcessor processor { registerOneParameter };
};

juce::AudioProcessor::BusesLayout layout (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    juce::AudioProcessor::BusesLayout result;
    result.inputBuses.add (in);
    result.outputBuses.add (out);
    return result;
}
} // namespace

TEST_F (Lifecycle, FirstPreparationGuardsProgramsAndForcesNothing)
{
    processor.runBlock(); // clears the guard set at construction
    EXPECT_FALSE (processor.ignoreNextProgramChange.load());

    processor.prepareToPlay (44100.0, 512);

    EXPECT_TRUE (processor.ignoreNextProgramChange.load());
    EXPECT_FALSE (processor.forceParameterUpdate.load());
    EXPECT_EQ (processor.engine.preparations, 1);
    EXPECT_EQ (processor.engine.numInputChannels, 2);
    EXPECT_EQ (processor.engine.numOutputChannels, 2);
    EXPECT_DOUBLE_EQ (processor.lastSampleRate.load(), 44100.0);
    EXPECT_EQ (processor.lastBlockSize.load(), 512);
}

TEST_F (Lifecycle, LaterPreparationForcesAFullPushOnlyWhenASettingChanged)
{
    struct Case
    {
        const char* what;
        double sampleRate;
        int blockSize;
        bool forces;
    };

    const Case cases[] = {
        { "same settings", 44100.0, 512, false },
        { "rate off by the last bit", std::nextafter (44100.0, 50000.0), 512, false },
        { "other rate", 48000.0, 512, true },
        { "other block size", 44100.0, 256, true },
    };

    for (const auto& c : cases)
    {
        FixtureProcessor fresh { registerOneParameter };
        fresh.prepareToPlay (44100.0, 512);
        fresh.runBlock();
        fresh.prepareToPlay (c.sampleRate, c.blockSize);

        EXPECT_EQ (fresh.forceParameterUpdate.load(), c.forces) << c.what;
        EXPECT_FALSE (fresh.ignoreNextProgramChange.load()) << c.what;

        fresh.engine.received.clear();
        fresh.runBlock();
        EXPECT_EQ (fresh.engine.received.size(), c.forces ? 1u : 0u) << c.what;
    }
}

TEST_F (Lifecycle, ChannelCountChangeForcesAFullPush)
{
    processor.prepareToPlay (44100.0, 512);
    processor.runBlock();

    ASSERT_TRUE (processor.setBusesLayout (layout (juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono())));
    processor.prepareToPlay (44100.0, 512);

    EXPECT_TRUE (processor.forceParameterUpdate.load());
    EXPECT_EQ (processor.engine.numInputChannels, 1);
}

TEST_F (Lifecycle, PublishesTheEngineLatencyAfterPreparation)
{
    processor.engine.latencyAfterPreparation = 123;
    EXPECT_EQ (processor.getLatencySamples(), 0);

    processor.prepareToPlay (48000.0, 64);
    EXPECT_EQ (processor.getLatencySamples(), 123);
}

TEST_F (Lifecycle, BypassWithoutLatencyLeavesTheInputAndWithLatencyUsesTheEngine)
{
    juce::AudioBuffer<float> buffer (2, 8);
    buffer.clear();
    buffer.setSample (0, 3, 1.0f);
    buffer.setSample (1, 5, -1.0f);
    const juce::AudioBuffer<float> original (buffer);
    juce::MidiBuffer midi;

    processor.processBlockBypassed (buffer, midi);
    EXPECT_TRUE (processor.engine.bypassed.empty());

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ (buffer.getSample (c, i), original.getSample (c, i));

    processor.engine.latencyAfterPreparation = 10;
    processor.prepareToPlay (48000.0, 8);
    processor.processBlockBypassed (buffer, midi);

    EXPECT_EQ (processor.engine.bypassed, std::vector<int> { 8 });
    EXPECT_EQ (buffer.getSample (1, 7), RecordingDsp::bypassMarker);
    EXPECT_TRUE (processor.engine.received.empty()); // bypass pushes no parameters
}

TEST_F (Lifecycle, BlocksOfAnyLengthReachTheEngineAndMidiIsUntouched)
{
    processor.prepareToPlay (48000.0, 64);

    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 3);

    for (const int length : { 0, 1, 64 })
    {
        juce::AudioBuffer<float> buffer (2, length);
        processor.processBlock (buffer, midi);
    }

    juce::AudioBuffer<double> doubles (2, 5);
    processor.processBlock (doubles, midi);

    EXPECT_EQ (processor.engine.processed, (std::vector<int> { 0, 1, 64, 5 }));
    ASSERT_EQ (midi.getNumEvents(), 1);
    EXPECT_TRUE ((*midi.begin()).getMessage().isNoteOn());
    EXPECT_EQ ((*midi.begin()).samplePosition, 3);
}

TEST_F (Lifecycle, TellsTheHostAboutMidiTailAndPrecision)
{
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_TRUE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getName(), "Kelvane");
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
}

TEST_F (Lifecycle, BaseAcceptsMatchingMonoOrStereoLayouts)
{
    using Set = juce::AudioChannelSet;

    struct Case
    {
        Set in, out;
        bool accepted;
    };

    const Case cases[] = {
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::mono(), true },
        { Set::mono(), Set::stereo(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::create5point1(), Set::create5point1(), false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (processor.checkBusesLayoutSupported (layout (c.in, c.out)), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
}
