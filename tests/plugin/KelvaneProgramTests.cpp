#include "plugin/KelvanePrograms.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

using OSK::KelvaneProcessor;

namespace
{
void runBlock (KelvaneProcessor& processor)
{
    juce::AudioBuffer<float> buffer (2, 16);
    buffer.clear();
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

/** The value texts the factory programs are known by, for the parameters that differ between them. */
struct ProgramTexts
{
    int program;
    std::vector<std::pair<const char*, const char*>> texts;
};

const ProgramTexts programTexts[] = {
    { 0, { { "L/R|M/S", "L/R" }, { "EQ Mode", "FIR" }, { "Thresh", "-60.0" }, { "Release", "0.200" }, { "MHiShlf", "0.00" },
           { "CompThr", "0.00" }, { "CompRtio", "1.00:1" }, { "LCeil", "0.00" }, { "MetSwi", "K-20" } } },
    { 1, { { "MHiShlf", "9.10" }, { "MHiBand", "2.60" }, { "MLowShlf", "6.00" }, { "SHiShlf", "9.10" }, { "SHiBand", "2.60" },
           { "SLowShlf", "6.00" }, { "LByp", "Off" } } },
    { 2, { { "L/R|M/S", "M/S" }, { "MGain", "-3.00" }, { "SGain", "6.00" }, { "MHiShlf", "0.00" } } },
    { 3, { { "MHiShlf", "5.00" }, { "MMidBand", "-3.00" }, { "SHiShlf", "5.00" }, { "SMidBand", "-3.00" },
           { "CompThr", "-30.0" }, { "CompRtio", "4.00:1" }, { "CompGain", "22.50" }, { "CompAtt", "0.200" },
           { "CompRel", "1.000" }, { "CAG", "On" }, { "LGain", "9.93" } } },
    { 4, { { "MHiShlf", "10.00" }, { "MHiBand", "2.60" }, { "MMidBand", "-4.00" }, { "MLowShlf", "10.00" },
           { "CompThr", "-15.0" }, { "CompRtio", "3.00:1" }, { "CompGain", "11.25" }, { "CompAtt", "0.300" },
           { "CompRel", "0.400" }, { "CAG", "Off" }, { "LByp", "On" } } },
    { 5, { { "L/R|M/S", "M/S" }, { "Thresh", "-3.00" }, { "Ratio", "4.00:1" }, { "Attack", "0.333" }, { "Release", "1.001" },
           { "MHiShlf", "8.00" }, { "MHiBand", "5.00" }, { "MLoBand", "5.00" }, { "SHiShlf", "0.00" }, { "SLoBand", "5.00" },
           { "CompThr", "-10.0" }, { "CompRtio", "3.00:1" }, { "CompGain", "6.67" }, { "CompAtt", "0.100" },
           { "CompRel", "1.000" }, { "CAG", "On" }, { "LByp", "On" } } },
};
} // namespace

TEST (Programs, NamesCountAndClamping)
{
    KelvaneProcessor processor;
    EXPECT_EQ (processor.getNumPrograms(), 6);

    const std::pair<int, const char*> names[] = { { -3, "Default" }, { 0, "Default" }, { 1, "Alpenfrisch" },
                                                  { 2, "BergPanorama" }, { 3, "Eisbock" }, { 4, "Pfundig" },
                                                  { 5, "Almenrausch" }, { 99, "Almenrausch" } };

    for (const auto& [index, name] : names)
        EXPECT_EQ (processor.getProgramName (index), name) << index;

    processor.changeProgramName (1, "Mine");
    EXPECT_EQ (processor.getProgramName (1), "Alpenfrisch");
}

TEST (Programs, FirstChangeAfterConstructionOrFirstPreparationIsDropped)
{
    KelvaneProcessor processor;

    processor.setCurrentProgram (2);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.valueTreeState.getParameter ("L/R|M/S")->getCurrentValueAsText(), "L/R");

    processor.setCurrentProgram (2);
    EXPECT_EQ (processor.getCurrentProgram(), 2);
    EXPECT_EQ (processor.valueTreeState.getParameter ("L/R|M/S")->getCurrentValueAsText(), "M/S");

    processor.prepareToPlay (48000.0, 512);
    processor.setCurrentProgram (3);
    EXPECT_EQ (processor.getCurrentProgram(), 2);

    runBlock (processor);
    processor.setCurrentProgram (3);
    EXPECT_EQ (processor.getCurrentProgram(), 3);
    EXPECT_FALSE (processor.ignoreNextProgramChange.load());

    processor.setCurrentProgram (-7);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
}

TEST (Programs, EveryProgramLandsOnItsStoredValuesAndTexts)
{
    // The links are on in every program, and several programs store different values for the
    // two channels of a linked band: applying one must not let a later value drag an earlier one.
    KelvaneProcessor processor;
    processor.ignoreNextProgramChange = false;

    for (const auto& expected : programTexts)
        for (const int from : { 0, 5, 2 })
        {
            processor.setCurrentProgram (from);
            processor.setCurrentProgram (expected.program);

            const auto& stored = OSK::kelvaneFactoryPrograms[static_cast<size_t> (expected.program)];

            for (int k = 0; k < OSK::numKelvaneParameters; ++k)
            {
                auto* parameter = processor.valueTreeState.getParameter (processor.parameterIds[static_cast<size_t> (k)]);
                EXPECT_EQ (parameter->getValue(), stored.values[static_cast<size_t> (k)])
                    << stored.name << " from " << from << ": " << processor.parameterIds[static_cast<size_t> (k)];
            }

            for (const auto& [id, text] : expected.texts)
                EXPECT_EQ (processor.valueTreeState.getParameter (id)->getCurrentValueAsText(), text) << stored.name << " " << id;
        }

    // The links still couple later edits, from the recalled values.
    processor.setCurrentProgram (2);
    processor.valueTreeState.getParameter ("MGain")->setValueNotifyingHost (0.55f);
    EXPECT_NEAR (processor.valueTreeState.getParameter ("SGain")->getValue(), 0.7f, 1.0e-6f);
}

TEST (Programs, DefaultEqualsTheParameterDefaults)
{
    KelvaneProcessor processor;

    for (int k = 0; k < OSK::numKelvaneParameters; ++k)
    {
        auto* parameter = processor.valueTreeState.getParameter (processor.parameterIds[static_cast<size_t> (k)]);
        EXPECT_EQ (parameter->getDefaultValue(), OSK::kelvaneFactoryPrograms[0].values[static_cast<size_t> (k)]) << k;
    }
}
