// The editor with audio playing: the processor runs blocks as a host's audio thread would while
// the editor is open, and the editor's meter refresh runs every 41 ms of audio, as its timer does.
// Time is counted in samples, so nothing here depends on how fast the machine is.

#include "framework/osk_gui/GuiTestSupport.h"
#include "helpers/ProcessorRunner.h"
#include "osk_gui/HorizontalMeter.h"
#include "plugin/KelvaneEditor.h"

#include <gtest/gtest.h>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

struct PlayingEditor : ::testing::Test
{
    PlayingEditor()
    {
        created.reset (runner.processor.createEditorIfNeeded());
        editor = dynamic_cast<OSK::KelvaneEditor*> (created.get());
    }

    ~PlayingEditor() override
    {
        runner.processor.editorBeingDeleted (created.get());
        juce::Desktop::getInstance().setGlobalScaleFactor (1.0f);
    }

    /** Plays the signal block by block and refreshes the editor every 41 ms of audio; calls
        `afterRefresh` with the audio time of each refresh. */
    template <typename AfterRefresh>
    void play (const KelvaneTest::Stereo& signal, AfterRefresh&& afterRefresh)
    {
        const auto samplesPerRefresh = sampleRate * OSK::BaseEditor::meterRefreshIntervalMs / 1000.0;
        auto nextRefresh = samplesPerRefresh;
        KelvaneTest::Stereo block ((size_t) blockSize);

        for (size_t start = 0; start + (size_t) blockSize <= signal.size(); start += (size_t) blockSize)
        {
            for (int c = 0; c < 2; ++c)
                std::copy_n (signal.channel (c).begin() + (long) start, blockSize, block.channel (c).begin());

            runner.process (block);
            const auto played = (double) (start + (size_t) blockSize);

            while (played >= nextRefresh)
            {
                editor->timerCallback();
                afterRefresh (played / sampleRate);
                nextRefresh += samplesPerRefresh;
            }
        }
    }

    void play (const KelvaneTest::Stereo& signal)
    {
        play (signal, [] (double) {});
    }

    double meterValue (int index) { return editor->meters[index]->value; }

    KelvaneTest::ScopedSettingsFolder settingsFolder;
    KelvaneTest::ProcessorRunner runner { sampleRate, blockSize };
    std::unique_ptr<juce::AudioProcessorEditor> created;
    OSK::KelvaneEditor* editor = nullptr;
};
} // namespace

TEST_F (PlayingEditor, FullScaleSineBringsTheOutputMetersToTheirPlacesWithinASecond)
{
    ASSERT_NE (editor, nullptr);
    const auto sine = KelvaneTest::sine ((size_t) (1.5 * sampleRate), 1000.0, sampleRate, 1.0);

    // Peak at full scale, RMS at −3 dB (0.937 on the −48..0 dB scale), correlation +1, balance centred.
    const auto arrived = [this]
    {
        return meterValue (11) > 0.98 && meterValue (12) > 0.98 && std::abs (meterValue (13) - 0.937) < 0.01
               && std::abs (meterValue (14) - 0.937) < 0.01 && meterValue (15) > 0.95 && std::abs (meterValue (16) - 0.5) < 0.01;
    };

    auto arrivalSeconds = -1.0;
    play (sine, [&] (double seconds)
    {
        if (arrivalSeconds < 0.0 && arrived())
            arrivalSeconds = seconds;
    });

    EXPECT_GT (arrivalSeconds, 0.0);
    EXPECT_LE (arrivalSeconds, 1.0);
    EXPECT_TRUE (arrived()) << meterValue (11) << " " << meterValue (12) << " " << meterValue (13) << " "
                            << meterValue (14) << " " << meterValue (15) << " " << meterValue (16);

    // The widgets show it: labels with the values, the RMS bars lit to their height, the
    // correlation pointer green at the right end, the balance pointer in the middle.
    EXPECT_EQ (editor->peakLabelLeft->getText(), juce::String (meterValue (11)));
    EXPECT_EQ (editor->rmsLabelRight->getText(), juce::String (meterValue (14)));
    EXPECT_TRUE (editor->rmsLabelLeft->getText().startsWith ("0.93")) << editor->rmsLabelLeft->getText();

    auto* correlation = dynamic_cast<OSK::HorizontalMeter*> (editor->meters[15]);
    EXPECT_EQ (correlation->frameIndex, 0);
    EXPECT_GE ((int) (110.0 * correlation->value - 1.0), 103);

    auto* balance = dynamic_cast<OSK::HorizontalMeter*> (editor->meters[16]);
    EXPECT_EQ ((int) (110.0 * balance->value - 1.0), 54);
}

TEST_F (PlayingEditor, InvertedChannelTurnsTheCorrelationPointerRed)
{
    play (KelvaneTest::sine ((size_t) sampleRate, 1000.0, sampleRate, 0.5, true));

    auto* correlation = dynamic_cast<OSK::HorizontalMeter*> (editor->meters[15]);
    EXPECT_LT (correlation->value, 0.05);
    EXPECT_EQ (correlation->frameIndex, 2);
}

TEST_F (PlayingEditor, SilenceLeavesTheLabelsAloneAndDrawsNothing)
{
    KelvaneTest::RepaintCounter peakRepaints (*editor->meters[11]);
    KelvaneTest::RepaintCounter rmsRepaints (*editor->meters[13]);

    play (KelvaneTest::Stereo ((size_t) sampleRate / 2));

    EXPECT_EQ (peakRepaints.count, 0);
    EXPECT_EQ (rmsRepaints.count, 0);

    for (auto* label : { editor->peakLabelLeft.get(), editor->peakLabelRight.get(), editor->rmsLabelLeft.get(), editor->rmsLabelRight.get() })
        EXPECT_EQ (label->getText(), "--");
}

TEST_F (PlayingEditor, KnobMovesTheParameterAndOneBlockLaterTheEngine)
{
    runner.settle();
    OSK::Knob* ratio = nullptr;

    for (auto* k : editor->knobs)
        if (k->getComponentID() == "CompRtio")
            ratio = k;

    ASSERT_NE (ratio, nullptr);
    auto& engine = runner.engine();
    const auto slopeBefore = engine.targetValues[(size_t) OSK::KelvaneDsp::compressorSlope];
    ASSERT_EQ (engine.receivedValues[(size_t) OSK::CompRtio], 0.0f);

    // The knob's attachment turns a new knob value into one gesture on the parameter.
    ratio->setValue (0.5, juce::sendNotificationSync);

    EXPECT_EQ (runner.parameter ("CompRtio").getValue(), 0.5f);
    EXPECT_EQ (engine.receivedValues[(size_t) OSK::CompRtio], 0.0f) << "the engine hears of it only at the next block";

    runner.process (KelvaneTest::Stereo ((size_t) blockSize));
    EXPECT_EQ (engine.receivedValues[(size_t) OSK::CompRtio], 0.5f);
    EXPECT_NE (engine.targetValues[(size_t) OSK::KelvaneDsp::compressorSlope], slopeBefore);

    // And the other way: automation moves the knob and its value box.
    runner.set ("CompRtio", 0.25f);
    EXPECT_DOUBLE_EQ (ratio->getValue(), 0.25);
    EXPECT_EQ (ratio->getTextFromValue (ratio->getValue()), runner.parameter ("CompRtio").getText (0.25f, 0));
}
