#include "helpers/FixtureProcessor.h"

#include <gtest/gtest.h>

using KelvaneTest::FixtureProcessor;

namespace
{
/** Three parameters registered out of index order, and two host meters. */
void registerSmallProduct (FixtureProcessor& p)
{
    p.createFloatParameter (0, "Level", 0.5f, -15.0f, 15.0f, "", false);
    p.createChoicesParameter (2, "Mode", { "A", "B", "C" }, 0, true);
    p.createFloatParameter (1, "Time", 0.25f, 0.0f, 100.0f, " ms", false);
    p.createHostMeter (0, "GR One", OSK::BaseProcessor::HostMeterType::CompressorLimiterGainReduction);
    p.createHostMeter (1, "GR Two", OSK::BaseProcessor::HostMeterType::ExpanderGateGainReduction);
}

struct Registry : ::testing::Test
{
    FixtureProcessor processor { registerSmallProduct };

    void SetUp() override { processor.prepareToPlay (48000.0, 64); }
};
} // namespace

TEST_F (Registry, ListsParametersInRegistrationOrderWithTheirIdsAsNames)
{
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 5);

    const char* expected[] = { "Level", "Mode", "Time", "GR One", "GR Two" };

    for (int i = 0; i < parameters.size(); ++i)
    {
        EXPECT_EQ (parameters[i]->getName (100), expected[i]);
        EXPECT_EQ (dynamic_cast<juce::RangedAudioParameter*> (parameters[i])->getParameterID(), expected[i]);
    }

    EXPECT_EQ (processor.numParameters, 3);
    EXPECT_EQ (processor.parameterIds[1], "Time");
    EXPECT_EQ (processor.parameterIds[2], "Mode");
    EXPECT_EQ (processor.numHostMeters, 2);
}

TEST_F (Registry, DescribesParametersAsTheHostSeesThem)
{
    auto* level = processor.valueTreeState.getParameter ("Level");
    auto* mode = processor.valueTreeState.getParameter ("Mode");
    auto* meter = processor.valueTreeState.getParameter ("GR Two");

    EXPECT_TRUE (level->isAutomatable());
    EXPECT_FALSE (level->isMetaParameter());
    EXPECT_TRUE (mode->isMetaParameter());
    EXPECT_EQ (level->getLabel(), "");
    EXPECT_EQ (level->getCurrentValueAsText(), "0.00");
    EXPECT_EQ (processor.valueTreeState.getParameter ("Time")->getCurrentValueAsText(), "25.00 ms");
    EXPECT_EQ (mode->getCurrentValueAsText(), "A");
    EXPECT_EQ (meter->getCategory(), juce::AudioProcessorParameter::expanderGateGainReductionMeter);
    EXPECT_EQ (processor.valueTreeState.getParameter ("GR One")->getCategory(),
               juce::AudioProcessorParameter::compressorLimiterGainReductionMeter);
    EXPECT_FLOAT_EQ (level->getValueForText ("100"), 1.0f); // the parameter limits parsed values
}

TEST_F (Registry, PushesOnlyValuesThatMovedAtLeastTheThreshold)
{
    struct Case
    {
        float from, to;
        bool pushed;
    };

    const Case cases[] = {
        { 0.5f, 0.50005f, false },
        { 0.5f, 0.5001f, true },
        { 0.5f, 0.4998f, true },
        { 0.5f, 0.5f, false },
    };

    for (const auto& c : cases)
    {
        processor.set ("Level", c.from);
        processor.runBlock();
        processor.engine.received.clear();

        // A move below the threshold is remembered against the last value sent, not the last seen.
        processor.set ("Level", c.to);
        processor.runBlock();

        EXPECT_EQ (! processor.engine.received.empty(), c.pushed) << c.from << " -> " << c.to;

        if (c.pushed)
        {
            ASSERT_EQ (processor.engine.received.size(), 1u);
            EXPECT_EQ (processor.engine.received[0], std::make_pair (0, c.to));
            EXPECT_EQ (processor.ownReceived.back(), std::make_pair (0, c.to));
        }
    }
}

TEST_F (Registry, ForcedUpdatePushesEveryIndexOnceInOrder)
{
    processor.runBlock();
    processor.engine.received.clear();

    processor.forceParameterUpdate = true;
    processor.runBlock();

    const std::vector<std::pair<int, float>> expected { { 0, 0.5f }, { 1, 0.25f }, { 2, 0.0f } };
    EXPECT_EQ (processor.engine.received, expected);
    EXPECT_FALSE (processor.forceParameterUpdate.load());

    processor.engine.received.clear();
    processor.runBlock();
    EXPECT_TRUE (processor.engine.received.empty());
}

TEST_F (Registry, ChoiceParametersReachTheEngineAsTheirIndex)
{
    for (const auto& [normalised, index] : { std::pair { 0.5f, 1.0f }, std::pair { 1.0f, 2.0f }, std::pair { 0.0f, 0.0f } })
    {
        processor.engine.received.clear();
        processor.set ("Mode", normalised);
        processor.runBlock();

        ASSERT_EQ (processor.engine.received.size(), 1u);
        EXPECT_EQ (processor.engine.received[0], std::make_pair (2, index));
    }
}

TEST_F (Registry, HostMetersAreWrittenEveryBlockEvenWhenUnchanged)
{
    struct Counter : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int, float newValue) override { values.push_back (newValue); }
        void parameterGestureChanged (int, bool starting) override { gestures += starting ? 1 : 0; }
        std::vector<float> values;
        int gestures = 0;
    } counter;

    auto* meter = processor.valueTreeState.getParameter ("GR Two");
    meter->addListener (&counter);
    processor.engine.hostMeterValue = 0.25;

    for (int block = 0; block < 3; ++block)
        processor.runBlock();

    meter->removeListener (&counter);

    EXPECT_EQ (counter.values, (std::vector<float> { 0.5f, 0.5f, 0.5f })); // the engine scales by meter number
    EXPECT_EQ (counter.gestures, 3);
}

TEST_F (Registry, SetParameterValueIsOneHostGesture)
{
    processor.setParameterValue (1, 0.75f);
    EXPECT_FLOAT_EQ (processor.get ("Time"), 0.75f);
    EXPECT_FLOAT_EQ (processor.rawParameterValues[1]->load(), 0.75f);
}
