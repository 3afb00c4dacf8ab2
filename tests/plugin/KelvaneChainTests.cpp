#include "helpers/AllocationCounter.h"
#include "helpers/ProcessorRunner.h"
#include "helpers/Response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using OSK::KelvaneDsp;
using namespace KelvaneTest;

namespace
{
constexpr size_t latency = 2689;

/** Expander bypassed, everything else at its neutral default: ratio 1, 0 dB gains and ceiling. */
void makeNeutral (ProcessorRunner& runner, const char* eqMode)
{
    runner.setText ("ExpByp", "On");
    runner.setText ("EQ Mode", eqMode);
    runner.settle();
}
} // namespace

TEST (Chain, PowerOffGivesTheInputDelayedByTheLatency)
{
    for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
        for (const char* mode : { "IIR", "FIR" })
        {
            SCOPED_TRACE (juce::String (rate) + " " + mode);
            ProcessorRunner runner (rate);
            runner.setText ("EQ Mode", mode);
            runner.setText ("Power", "Off");
            runner.setText ("CompThr", "-30");
            runner.setText ("CompRtio", "4");
            runner.settle();

            const auto input = noise (latency + 3000, 0.8);
            const auto output = runner.process (input);

            for (size_t n = 0; n < output.size(); ++n)
            {
                ASSERT_EQ (output.left[n], n < latency ? 0.0 : input.left[n - latency]) << n;
                ASSERT_EQ (output.right[n], n < latency ? 0.0 : input.right[n - latency]) << n;
            }
        }
}

TEST (Chain, NeutralChainIsTheDelayedInput)
{
    struct Case
    {
        const char* mode;
        double tolerance; ///< dB, up to 0.49 of the sample rate
    };

    // IIR: the unity bells' 1.000001 boost overlaps to about 1.5e-5 dB near 1.5 kHz.
    // FIR: the kernel's truncation and window.
    for (const Case c : { Case { "IIR", 2.0e-5 }, Case { "FIR", 0.001 } })
        for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
        {
            SCOPED_TRACE (juce::String (rate) + " " + c.mode);
            ProcessorRunner runner (rate);
            makeNeutral (runner, c.mode);

            const auto output = runner.process (impulse (latency + 4000, 0, 0.5));
            std::vector<double> response (output.left.begin(), output.left.end());

            for (auto& r : response)
                r /= 0.5;

            size_t peakAt = 0;

            for (size_t n = 0; n < response.size(); ++n)
                if (std::abs (response[n]) > std::abs (response[peakAt]))
                    peakAt = n;

            EXPECT_EQ (peakAt, latency);

            for (const double f : logFrequencies (20.0, 0.49 * rate, 40))
                EXPECT_NEAR (decibels (magnitudeAt (response, f, rate)), 0.0, c.tolerance) << f;

            EXPECT_EQ (output.left, output.right);
        }
}

TEST (Chain, SingleAndDoublePrecisionDifferOnlyByTheFinalRounding)
{
    ProcessorRunner doubles, floats;

    for (auto* runner : { &doubles, &floats })
    {
        runner->setText ("CompThr", "-24");
        runner->setText ("CompRtio", "3");
        runner->setText ("MHiShlf", "6");
        runner->setText ("LGain", "9");
        runner->settle();
    }

    const auto input = noise (20000, 0.7);
    std::vector<float> left (input.left.begin(), input.left.end()), right (input.right.begin(), input.right.end());
    Stereo exactInput (input.size());

    for (size_t n = 0; n < input.size(); ++n)
    {
        exactInput.left[n] = left[n];
        exactInput.right[n] = right[n];
    }

    const auto expected = doubles.process (exactInput, 500);

    juce::AudioBuffer<float> buffer (2, 500);
    juce::MidiBuffer midi;

    for (size_t start = 0; start < input.size(); start += 500)
    {
        std::copy_n (left.begin() + static_cast<long> (start), 500, buffer.getWritePointer (0));
        std::copy_n (right.begin() + static_cast<long> (start), 500, buffer.getWritePointer (1));
        floats.processor.processBlock (buffer, midi);

        for (int i = 0; i < 500; ++i)
        {
            ASSERT_EQ (buffer.getSample (0, i), static_cast<float> (expected.left[start + static_cast<size_t> (i)]));
            ASSERT_EQ (buffer.getSample (1, i), static_cast<float> (expected.right[start + static_cast<size_t> (i)]));
        }
    }
}

TEST (Chain, BlockSizesDoNotChangeTheOutput)
{
    const auto input = noise (30000, 0.9, 7);

    auto render = [&] (std::vector<int> blockSizes) {
        ProcessorRunner runner (44100.0, 8192);
        runner.setText ("CompThr", "-20");
        runner.setText ("CompRtio", "5");
        runner.setText ("LGain", "6");
        runner.settle();

        Stereo output (input.size());
        juce::AudioBuffer<double> buffer;
        juce::MidiBuffer midi;
        size_t start = 0;

        for (size_t b = 0; start < input.size(); ++b)
        {
            const auto length = std::min (static_cast<size_t> (blockSizes[b % blockSizes.size()]), input.size() - start);
            buffer.setSize (2, static_cast<int> (length));

            for (int c = 0; c < 2; ++c)
                std::copy_n (input.channel (c).begin() + static_cast<long> (start), length, buffer.getWritePointer (c));

            runner.processor.processBlock (buffer, midi);

            for (int c = 0; c < 2; ++c)
                std::copy_n (buffer.getReadPointer (c), length, output.channel (c).begin() + static_cast<long> (start));

            start += length;
        }

        return output;
    };

    const auto reference = render ({ 8192 });

    for (const auto& sizes : { std::vector<int> { 1 }, std::vector<int> { 0, 1, 0, 64 }, std::vector<int> { 8192, 3, 511, 1024, 17 } })
    {
        const auto output = render (sizes);
        EXPECT_EQ (output.left, reference.left);
        EXPECT_EQ (output.right, reference.right);
    }
}

TEST (Chain, HostBypassKeepsTheDryHistoryContinuous)
{
    // With "Power" off the output is the delayed input whether the host bypasses or not, so
    // switching back and forth must not change a single sample.
    ProcessorRunner runner;
    runner.setText ("Power", "Off");
    runner.settle();

    const auto input = noise (20 * 512, 0.5, 3);
    juce::AudioBuffer<double> buffer (2, 512);
    juce::MidiBuffer midi;

    for (size_t block = 0; block < 20; ++block)
    {
        const auto start = block * 512;

        for (int c = 0; c < 2; ++c)
            std::copy_n (input.channel (c).begin() + static_cast<long> (start), 512, buffer.getWritePointer (c));

        if (block % 3 == 1)
            runner.processor.processBlockBypassed (buffer, midi);
        else
            runner.processor.processBlock (buffer, midi);

        for (int i = 0; i < 512; ++i)
        {
            const auto n = start + static_cast<size_t> (i);
            ASSERT_EQ (buffer.getSample (0, i), n < latency ? 0.0 : input.left[n - latency]) << n;
        }
    }
}

TEST (Chain, NonFiniteInputEntersAsSilence)
{
    // A faulty upstream plug-in's NaN or infinity must not poison the detectors, the filters or
    // the limiter: the output is the same as if those samples had been silence.
    ProcessorRunner faulty, clean;

    for (auto* runner : { &faulty, &clean })
    {
        runner->setText ("CompThr", "-30");
        runner->setText ("CompRtio", "4");
        runner->setText ("Thresh", "-50");
        runner->setText ("Ratio", "3");
        runner->settle();
    }

    auto input = noise (30000, 0.5, 11);
    auto zeroed = input;
    const double bad[] = { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity() };

    for (size_t n = 5000; n < 5600; ++n)
    {
        input.left[n] = bad[n % 3];
        input.right[n] = bad[(n + 1) % 3];
        zeroed.left[n] = zeroed.right[n] = 0.0;
    }

    const auto a = faulty.process (input);
    const auto b = clean.process (zeroed);

    EXPECT_EQ (a.left, b.left);
    EXPECT_EQ (a.right, b.right);

    for (int i = 0; i < 17; ++i)
        EXPECT_TRUE (std::isfinite (faulty.engine().getMeterValue (i))) << i;
}

TEST (Chain, AbsurdlyLoudInputKeepsTheOutputFinite)
{
    ProcessorRunner runner;
    runner.settle();
    auto input = noise (20000, 0.5);

    for (size_t n = 4000; n < 4100; ++n)
        input.left[n] = input.right[n] = (n % 2 == 0 ? 1.0e300 : -3.0e38);

    const auto output = runner.process (input);

    for (size_t n = 0; n < output.size(); ++n)
        ASSERT_TRUE (std::isfinite (output.left[n]) && std::isfinite (output.right[n])) << n;

    EXPECT_LE (peakOf (output.left), 1.0); // the limiter still holds its ceiling
    EXPECT_TRUE (std::isfinite (runner.engine().getMeterValue (16)));
}

TEST (Chain, AudioThreadAllocatesNothing)
{
    ProcessorRunner runner (96000.0, 256);
    runner.settle();
    juce::AudioBuffer<float> floats (2, 256);
    juce::AudioBuffer<double> doubles (2, 256);
    juce::MidiBuffer midi;
    const auto input = noise (256, 0.5);

    // Parameter changes of every kind, including equaliser bands that redesign filters and
    // refresh spectra, arrive between blocks as automation does.
    const char* moves[][2] = { { "MMidBand", "3" }, { "EQ Mode", "IIR" }, { "L/R|M/S", "M/S" }, { "CompThr", "-20" },
                               { "CAG", "On" }, { "LCeil", "-3" }, { "SHiShlf", "-4" }, { "EQ Mode", "FIR" },
                               { "Power", "Off" }, { "MidSolo", "On" } };

    // The first block may meet things that exist once per program run.
    runner.processor.processBlock (floats, midi);

    int allocations = 0;

    for (int block = 0; block < 200; ++block)
    {
        // Parameters move on the message thread; only the audio thread's work is counted.
        if (block % 20 == 0)
            runner.setText (moves[block / 20][0], moves[block / 20][1]);

        for (int c = 0; c < 2; ++c)
        {
            std::copy_n (input.channel (c).begin(), 256, doubles.getWritePointer (c));
            for (int i = 0; i < 256; ++i)
                floats.setSample (c, i, static_cast<float> (input.channel (c)[static_cast<size_t> (i)]));
        }

        KelvaneTest::ScopedAllocationCounter counter;
        runner.processor.processBlock (floats, midi);
        runner.processor.processBlock (doubles, midi);
        runner.processor.processBlockBypassed (doubles, midi);
        allocations += counter.count();
    }

    EXPECT_EQ (allocations, 0);
}
