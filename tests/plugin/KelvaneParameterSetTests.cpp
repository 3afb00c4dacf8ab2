#include "helpers/ExpectedHostOrder.h"
#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameterText.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

using OSK::KelvaneProcessor;


namespace
{
struct ProductParameters : ::testing::Test
{
    KelvaneProcessor processor;

    void SetUp() override { processor.prepareToPlay (48000.0, 64); }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *processor.valueTreeState.getParameter (id); }

    void set (const juce::String& id, float normalised) { parameter (id).setValueNotifyingHost (normalised); }
    float get (const juce::String& id) { return parameter (id).getValue(); }

    void runBlock()
    {
        juce::AudioBuffer<float> buffer (2, 32);
        buffer.clear();
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    }
};

struct ParameterCase
{
    int index;
    const char* id;
    bool meta;
    const char* atZero;    ///< float: text at 0; choice: the choices joined by "|"
    const char* atDefault; ///< float: text at the default; choice: the default choice
    const char* atOne;     ///< float: text at 1
};

const ParameterCase parameterCases[] = {
    { 0, "Power", false, "Off,On", "On", nullptr },
    { 1, "L/R|M/S", true, "L/R,M/S", "L/R", nullptr },
    { 2, "EQ Mode", true, "IIR,FIR", "FIR", nullptr },
    { 3, "Thresh", false, "-60.0", "-60.0", "0.00" },
    { 4, "Ratio", false, "1.00:1", "1.00:1", "10.00:1" },
    { 5, "Attack", false, "0.100", "0.100", "100.0" },
    { 6, "Release", false, "0.020", "0.200", "2.000" },
    { 7, "ExpByp", false, "Off,On", "Off", nullptr },
    { 8, "MHiShlf", true, "-15.0", "0.00", "15.00" },
    { 9, "MHiBand", true, "-15.0", "0.00", "15.00" },
    { 10, "MMidBand", true, "-15.0", "0.00", "15.00" },
    { 11, "MLoBand", true, "-15.0", "0.00", "15.00" },
    { 12, "MLowShlf", true, "-15.0", "0.00", "15.00" },
    { 13, "MGain", true, "-30.0", "0.00", "30.00" },
    { 14, "MHiShByp", true, "Off,On", "Off", nullptr },
    { 15, "MHiBdByp", true, "Off,On", "Off", nullptr },
    { 16, "MMdBdByp", true, "Off,On", "Off", nullptr },
    { 17, "MLwBdByp", true, "Off,On", "Off", nullptr },
    { 18, "MLwShByp", true, "Off,On", "Off", nullptr },
    { 19, "MGainByp", true, "Off,On", "Off", nullptr },
    { 20, "MidByp", false, "Off,On", "Off", nullptr },
    { 21, "MidSolo", false, "Off,On", "Off", nullptr },
    { 22, "SHiShlf", true, "-15.0", "0.00", "15.00" },
    { 23, "SHiBand", true, "-15.0", "0.00", "15.00" },
    { 24, "SMidBand", true, "-15.0", "0.00", "15.00" },
    { 25, "SLoBand", true, "-15.0", "0.00", "15.00" },
    { 26, "SLowShlf", true, "-15.0", "0.00", "15.00" },
    { 27, "SGain", true, "-30.0", "0.00", "30.00" },
    { 28, "SHiShByp", true, "Off,On", "Off", nullptr },
    { 29, "SHiBdByp", true, "Off,On", "Off", nullptr },
    { 30, "SMdBdByp", true, "Off,On", "Off", nullptr },
    { 31, "SLwBdByp", true, "Off,On", "Off", nullptr },
    { 32, "SLwShByp", true, "Off,On", "Off", nullptr },
    { 33, "SGainByp", true, "Off,On", "Off", nullptr },
    { 34, "SideByp", true, "Off,On", "Off", nullptr },
    { 35, "SideSolo", true, "Off,On", "Off", nullptr },
    { 36, "HgSlfLnk", false, "Off,On", "On", nullptr },
    { 37, "HgBndLnk", false, "Off,On", "On", nullptr },
    { 38, "MdBndLnk", false, "Off,On", "On", nullptr },
    { 39, "LwBndLnk", false, "Off,On", "On", nullptr },
    { 40, "LwSlfLnk", false, "Off,On", "On", nullptr },
    { 41, "GainLnk", false, "Off,On", "On", nullptr },
    { 42, "GainInvr", false, "Off,On", "Off", nullptr },
    { 43, "CompThr", false, "-48.0", "0.00", "0.00" },
    { 44, "CompRtio", false, "1.00:1", "1.00:1", "10.00:1" },
    { 45, "CompGain", false, "0.00", "0.00", "48.00" },
    { 46, "CompAtt", false, "0.100", "0.100", "100.0" },
    { 47, "CompRel", false, "0.020", "0.200", "2.000" },
    { 48, "CAG", false, "Off,On", "Off", nullptr },
    { 49, "CByp", false, "Off,On", "Off", nullptr },
    { 50, "LGain", false, "0.00", "0.00", "48.00" },
    { 51, "LCeil", false, "-30.0", "0.00", "0.00" },
    { 52, "LRel", false, "0.020", "0.200", "2.000" },
    { 53, "MakeUp", false, "0.00", "0.00", "30.00" },
    { 54, "LByp", false, "Off,On", "Off", nullptr },
    { 55, "MetSwi", false, "K-20,K-14,K-12", "K-20", nullptr },
};
} // namespace

TEST_F (ProductParameters, HostListsTheParametersThenTheMetersInRegistrationOrder)
{
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 59);

    for (int i = 0; i < parameters.size(); ++i)
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameters[i]);
        ASSERT_NE (ranged, nullptr);
        EXPECT_EQ (ranged->getParameterID(), KelvaneTest::expectedHostOrder[i]) << "host index " << i;
        EXPECT_EQ (ranged->getName (100), KelvaneTest::expectedHostOrder[i]) << "host index " << i;
        EXPECT_TRUE (ranged->isAutomatable());
    }

    EXPECT_EQ (processor.numParameters, 56);
    EXPECT_EQ (processor.numHostMeters, 3);
    EXPECT_EQ (parameters[56]->getCategory(), juce::AudioProcessorParameter::expanderGateGainReductionMeter);
    EXPECT_EQ (parameters[57]->getCategory(), juce::AudioProcessorParameter::compressorLimiterGainReductionMeter);
    EXPECT_EQ (parameters[58]->getCategory(), juce::AudioProcessorParameter::compressorLimiterGainReductionMeter);
}

TEST_F (ProductParameters, EveryParameterHasItsIdMetaFlagDefaultAndTexts)
{
    for (const auto& c : parameterCases)
    {
        SCOPED_TRACE (c.id);
        ASSERT_EQ (processor.parameterIds[static_cast<size_t> (c.index)], c.id);
        auto& p = parameter (c.id);
        EXPECT_EQ (p.isMetaParameter(), c.meta);
        EXPECT_EQ (p.getLabel(), "");
        EXPECT_EQ (p.getCurrentValueAsText(), c.atDefault);

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (&p))
        {
            EXPECT_EQ (choice->choices.joinIntoString (","), c.atZero);
            continue;
        }

        EXPECT_EQ (p.getText (0.0f, 0), c.atZero);
        EXPECT_EQ (p.getText (1.0f, 0), c.atOne);
    }
}

TEST (KelvaneParameterText, AttackAndReleaseTextsAndTheirParsing)
{
    using namespace OSK::KelvaneParameterText;

    EXPECT_EQ (attackValueToText (0.5f), "3.162");
    EXPECT_EQ (attackValueToText (1.0f / 3.0f), "1.000");
    EXPECT_EQ (releaseValueToText (0.25f), "0.063");
    EXPECT_EQ (releaseValueToText (0.8498f), "1.001");
    EXPECT_EQ (attackValueToText (0.174148f), "0.333");

    EXPECT_FLOAT_EQ (attackTextToValue ("500"), 1.0f);      // limited to 100 ms
    EXPECT_FLOAT_EQ (attackTextToValue ("1"), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ (attackTextToValue ("x"), 0.0f);        // no number reads as 0, limited to 0.1 ms
    EXPECT_FLOAT_EQ (releaseTextToValue ("0.01"), 0.0f);    // limited to 20 ms
    EXPECT_FLOAT_EQ (releaseTextToValue ("0.2"), 0.5f);
    EXPECT_FLOAT_EQ (releaseTextToValue ("9 s"), 1.0f);
}

TEST_F (ProductParameters, AllTwelveLinksStartEnabled)
{
    for (const auto& pair : processor.bandLinks)
    {
        EXPECT_TRUE (pair.gain->enabled.load());
        EXPECT_TRUE (pair.bypass->enabled.load());
        EXPECT_EQ (pair.gain->type, OSK::ParameterLink::Type::Relative);
        EXPECT_EQ (pair.bypass->type, OSK::ParameterLink::Type::Absolute);
    }

    EXPECT_EQ (processor.bandLinks[4].gain->firstId, "MLowShlf");
    EXPECT_EQ (processor.bandLinks[4].gain->secondId, "SLowShlf");
    EXPECT_EQ (processor.bandLinks[5].bypass->firstId, "MGainByp");
    EXPECT_EQ (processor.bandLinks[5].bypass->secondId, "SGainByp");
}

TEST_F (ProductParameters, LinkedBandsMoveTogether)
{
    set ("MHiShlf", 0.6f);
    EXPECT_FLOAT_EQ (get ("SHiShlf"), 0.6f);

    set ("MLwShByp", 1.0f);
    EXPECT_FLOAT_EQ (get ("SLwShByp"), 1.0f);

    set ("SMidBand", 0.3f); // either side drives
    EXPECT_FLOAT_EQ (get ("MMidBand"), 0.3f);
}

TEST_F (ProductParameters, LinkSwitchDecouplesAndRecouplesAtTheNextBlock)
{
    set ("GainLnk", 0.0f);
    set ("MGain", 0.7f);
    EXPECT_FLOAT_EQ (get ("SGain"), 0.7f); // the switch acts once the block has run

    runBlock();
    set ("MGain", 0.2f);
    set ("SGain", 0.9f);
    EXPECT_FLOAT_EQ (get ("MGain"), 0.2f);
    EXPECT_FLOAT_EQ (get ("SGain"), 0.9f);

    set ("GainLnk", 1.0f);
    runBlock();
    set ("MGain", 0.3f);
    EXPECT_NEAR (get ("SGain"), 1.0f, 1.0e-6f); // +0.1 from its own current value
    set ("SGainByp", 1.0f);
    EXPECT_FLOAT_EQ (get ("MGainByp"), 1.0f);
}

TEST_F (ProductParameters, ChoiceIndicesReachTheEngine)
{
    auto& engine = processor.getEngine();

    set ("MetSwi", 0.5f);
    runBlock();
    EXPECT_EQ (engine.receivedValues[OSK::MetSwi], 1.0f);

    set ("MetSwi", 1.0f);
    runBlock();
    EXPECT_EQ (engine.receivedValues[OSK::MetSwi], 2.0f);
}

TEST_F (ProductParameters, OnlyStereoInAndOutIsAccepted)
{
    using Set = juce::AudioChannelSet;

    struct Case
    {
        Set in, out;
        bool accepted;
    };

    const Case cases[] = {
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::mono(), false },
        { Set::mono(), Set::stereo(), false },
        { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::stereo(), Set::disabled(), false },
        { Set::createLCR(), Set::createLCR(), false },
    };

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (processor.checkBusesLayoutSupported (layout), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
    }
}

TEST (KelvaneProcessorEntry, CreatesAKelvaneProcessorWithItsEngineLatency)
{
    std::unique_ptr<juce::AudioProcessor> created (createPluginFilter());
    ASSERT_NE (dynamic_cast<KelvaneProcessor*> (created.get()), nullptr);

    EXPECT_EQ (created->getLatencySamples(), 0);
    created->prepareToPlay (44100.0, 256);
    EXPECT_EQ (created->getLatencySamples(), 2689);
}
