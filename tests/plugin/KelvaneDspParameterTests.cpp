#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameters.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

#include <cmath>

using OSK::KelvaneDsp;

namespace
{
constexpr double fs = 48000.0;

double gainOf (double decibels) { return std::pow (10.0, decibels / 20.0); }
double decibelsOf (double gain) { return 20.0 * std::log10 (gain); }
double coefficientOf (double seconds) { return 1.0 - std::exp (-1.0 / (seconds * fs)); }

struct Rows : ::testing::Test
{
    OSK::KelvaneProcessor processor;
    KelvaneDsp& engine = processor.getEngine();

    void SetUp() override { processor.prepareToPlay (fs, 512); }

    void send (int index, float value) { engine.parameterChanged (index, value); }
};

/** Everything a row may change, to check that a row changes only what it should. */
struct Snapshot
{
    explicit Snapshot (const KelvaneDsp& e)
        : targets (e.targetValues)
        , coefficients { e.expanderAttack, e.expanderRelease, e.compressorAttack, e.compressorRelease, e.limiterRelease }
        , powerOn (e.powerOn)
    {
    }

    bool operator== (const Snapshot& other) const
    {
        return targets == other.targets && coefficients == other.coefficients && powerOn == other.powerOn;
    }

    std::array<double, KelvaneDsp::numWorkingValues> targets;
    std::array<double, 5> coefficients;
    bool powerOn;
};
} // namespace

TEST_F (Rows, SetWorkingValueTargets)
{
    struct Case
    {
        int row;
        float value;
        int workingValue;
        double expected;
    };

    const Case cases[] = {
        { OSK::Power, 0.0f, KelvaneDsp::power, 0.0 },
        { OSK::Power, 1.0f, KelvaneDsp::power, 1.0 },
        { OSK::EqMode, 0.0f, KelvaneDsp::eqMode, 0.0 },
        { OSK::EqMode, 1.0f, KelvaneDsp::eqMode, 1.0 },
        { OSK::Thresh, 0.5f, KelvaneDsp::expanderThreshold, -30.0 },
        { OSK::Thresh, 1.0f, KelvaneDsp::expanderThreshold, 0.0 },
        { OSK::Ratio, 0.0f, KelvaneDsp::expanderRatio, 1.0 },
        { OSK::Ratio, 1.0f, KelvaneDsp::expanderRatio, 10.0 },
        { OSK::ExpByp, 1.0f, KelvaneDsp::expanderBypass, 1.0 },
        { OSK::ExpByp, 0.0f, KelvaneDsp::expanderBypass, 0.0 },
        { OSK::CompThr, 0.5f, KelvaneDsp::compressorThreshold, -24.0 },
        { OSK::CompThr, 0.0f, KelvaneDsp::compressorThreshold, -48.0 },
        { OSK::CompRtio, 0.0f, KelvaneDsp::compressorSlope, 0.0 },
        { OSK::CompRtio, 1.0f, KelvaneDsp::compressorSlope, 1.0 / 10.0 - 1.0 },
        { OSK::CompGain, 0.5f, KelvaneDsp::compressorMakeup, gainOf (24.0) },
        { OSK::CByp, 1.0f, KelvaneDsp::compressorBypass, 1.0 },
        { OSK::LGain, 0.25f, KelvaneDsp::limiterInputGain, gainOf (12.0) },
        { OSK::LCeil, 0.0f, KelvaneDsp::limiterCeiling, gainOf (-30.0) },
        { OSK::LCeil, 0.8f, KelvaneDsp::limiterCeiling, gainOf (30.0 * static_cast<double> (0.8f) - 30.0) },
        { OSK::MakeUp, 1.0f, KelvaneDsp::limiterOutputGain, gainOf (30.0) },
        { OSK::LByp, 1.0f, KelvaneDsp::limiterBypass, 1.0 },
        { OSK::LByp, 0.0f, KelvaneDsp::limiterBypass, 0.0 },
    };

    for (const auto& c : cases)
    {
        send (c.row, c.value);
        EXPECT_NEAR (engine.targetValues[static_cast<size_t> (c.workingValue)], c.expected, 1.0e-12 * std::max (1.0, std::abs (c.expected)))
            << "row " << c.row << " at " << c.value;
        EXPECT_EQ (engine.receivedValues[static_cast<size_t> (c.row)], c.value);
    }
}

TEST_F (Rows, SetTimeCoefficientsOnTheirLogarithmicScales)
{
    struct Case
    {
        int row;
        float value;
        double KelvaneDsp::*coefficient;
        double seconds;
    };

    const Case cases[] = {
        { OSK::Attack, 0.0f, &KelvaneDsp::expanderAttack, 0.0001 },
        { OSK::Attack, 1.0f, &KelvaneDsp::expanderAttack, 0.1 },
        { OSK::Attack, 0.5f, &KelvaneDsp::expanderAttack, 0.0031622777 },
        { OSK::Release, 0.0f, &KelvaneDsp::expanderRelease, 0.02 },
        { OSK::Release, 1.0f, &KelvaneDsp::expanderRelease, 2.0 },
        { OSK::CompAtt, 1.0f, &KelvaneDsp::compressorAttack, 0.1 },
        { OSK::CompRel, 0.25f, &KelvaneDsp::compressorRelease, 0.063245553 },
        { OSK::LRel, 0.0f, &KelvaneDsp::limiterRelease, 0.02 },
        { OSK::LRel, 1.0f, &KelvaneDsp::limiterRelease, 2.0 },
    };

    for (const auto& c : cases)
    {
        send (c.row, c.value);
        EXPECT_NEAR (engine.*c.coefficient, coefficientOf (c.seconds), 1.0e-7 * coefficientOf (c.seconds))
            << "row " << c.row << " at " << c.value;
    }
}

TEST_F (Rows, SwitchThresholdsDifferForTheLimiterBypass)
{
    // The limiter bypass needs more than half; the other switches take half as on.
    send (OSK::LByp, 0.5f);
    send (OSK::CByp, 0.5f);
    send (OSK::ExpByp, 0.5f);
    EXPECT_EQ (engine.targetValues[KelvaneDsp::limiterBypass], 0.0);
    EXPECT_EQ (engine.targetValues[KelvaneDsp::compressorBypass], 1.0);
    EXPECT_EQ (engine.targetValues[KelvaneDsp::expanderBypass], 1.0);
}

TEST_F (Rows, DefaultsEqualWhatTheRowsProduceForTheDefaultValues)
{
    // The registry skips parameters that still sit at their defaults after the first
    // preparation; that is only safe if sending the default changes nothing.
    const Snapshot before (engine);

    for (int row : { OSK::Power, OSK::EqMode, OSK::Thresh, OSK::Ratio, OSK::Attack, OSK::Release, OSK::ExpByp,
                     OSK::CompThr, OSK::CompRtio, OSK::CompGain, OSK::CompAtt, OSK::CompRel, OSK::CAG, OSK::CByp,
                     OSK::LGain, OSK::LCeil, OSK::LRel, OSK::MakeUp, OSK::LByp })
    {
        send (row, OSK::kelvaneDefaultRawValue (row));
        EXPECT_TRUE (Snapshot (engine) == before) << "row " << row;
    }
}

TEST_F (Rows, RowsWithoutEngineRoleOnlyRecordTheirValue)
{
    const Snapshot before (engine);

    for (int row : { OSK::HgSlfLnk, OSK::HgBndLnk, OSK::MdBndLnk, OSK::LwBndLnk, OSK::LwSlfLnk, OSK::GainLnk,
                     OSK::GainInvr, OSK::MetSwi })
    {
        send (row, 1.0f);
        EXPECT_EQ (engine.receivedValues[static_cast<size_t> (row)], 1.0f);
        EXPECT_TRUE (Snapshot (engine) == before) << "row " << row;
    }
}

TEST_F (Rows, AutomaticMakeupRestoresFullScaleLevel)
{
    struct Case
    {
        float threshold, ratio;
        double expectedDecibels;
    };

    const Case cases[] = {
        { 0.5f, 1.0f, 21.6 },                  // -24 dB at 10:1 takes 21.6 dB from a full-scale signal
        { 0.0f, 1.0f / 3.0f, 36.0 },           // -48 dB at 4:1
        { 1.0f, 1.0f, 0.0 },                   // a 0 dB threshold reduces nothing
        { 0.375f, 0.3333f, 22.4994 },          // -30 dB at 3.9997:1
    };

    for (const auto& c : cases)
    {
        send (OSK::CAG, 0.0f);
        send (OSK::CompThr, c.threshold);
        send (OSK::CompRtio, c.ratio);
        send (OSK::CAG, 1.0f);
        EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), c.expectedDecibels, 1.0e-3);

        // With auto gain on, moving either control recomputes the make-up.
        send (OSK::CompThr, 1.0f);
        EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 0.0, 1.0e-9);
        send (OSK::CompThr, c.threshold);
        send (OSK::CompRtio, 0.0f);
        EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 0.0, 1.0e-9);
        send (OSK::CompRtio, c.ratio);
        EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), c.expectedDecibels, 1.0e-3);
    }
}

TEST_F (Rows, ManualMakeupOverridesAndReturnsWhenAutoGainGoesOff)
{
    send (OSK::CompGain, 0.25f); // 12 dB
    send (OSK::CompThr, 0.5f);
    send (OSK::CompRtio, 1.0f);
    send (OSK::CAG, 1.0f);
    EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 21.6, 1.0e-4);

    send (OSK::CompGain, 0.5f); // a later manual change wins while auto gain stays on
    EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 24.0, 1.0e-9);

    send (OSK::CompThr, 0.5f + 1.0f / 48.0f);
    EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 20.7, 1.0e-4);

    // Switching auto gain off puts back the make-up the knob shows.
    send (OSK::CAG, 0.0f);
    EXPECT_NEAR (decibelsOf (engine.targetValues[KelvaneDsp::compressorMakeup]), 24.0, 1.0e-9);
}

TEST (KelvaneDspThroughTheRegistry, AutoGainAfterTheFirstPreparationUsesTheDefaultThreshold)
{
    // Only parameters that differ from their defaults reach the engine after the first
    // preparation; the threshold stays at its default 0 dB, so a 4:1 ratio needs no make-up.
    OSK::KelvaneProcessor processor;
    processor.prepareToPlay (fs, 256);
    processor.valueTreeState.getParameter ("CompRtio")->setValueNotifyingHost (1.0f / 3.0f);
    processor.valueTreeState.getParameter ("CAG")->setValueNotifyingHost (1.0f);

    juce::AudioBuffer<float> buffer (2, 16);
    buffer.clear();
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    EXPECT_EQ (processor.getEngine().targetValues[KelvaneDsp::compressorMakeup], 1.0);

    // The same after a change of settings that re-sends everything.
    processor.prepareToPlay (fs, 512);
    processor.processBlock (buffer, midi);
    EXPECT_EQ (processor.getEngine().targetValues[KelvaneDsp::compressorMakeup], 1.0);
}
