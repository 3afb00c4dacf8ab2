// The longest time one audio block takes: 64-sample blocks at 192 kHz for ten seconds of audio,
// with a linked equaliser band moved before every block (both channels redesign a band and
// update their magnitude responses, and kernels are synthesised and installed all the time).
// A block must never take more than half of its own duration.
//
// A shared or virtual machine stops a thread now and then for hundreds of microseconds, which
// even its own CPU clock counts. The same session therefore runs several times with the same
// input and automation: the work of a block is the same each time, the interruptions are not, so
// the shortest of a block's times is its cost.
//
//   kelvane_worst_block [sample rate] [block size] [seconds] [runs]

#include "plugin/KelvaneProcessor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
/** The wall-clock time in microseconds of every block of one session. */
std::vector<double> timeSession (double sampleRate, int blockSize, int numBlocks)
{
    OSK::KelvaneProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);
    auto* band = processor.valueTreeState.getParameter ("MMidBand");

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    juce::Random random (1);
    std::vector<double> times;
    times.reserve (static_cast<size_t> (numBlocks));

    for (int block = 0; block < numBlocks; ++block)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < blockSize; ++i)
                buffer.setSample (c, i, 0.5f * (2.0f * random.nextFloat() - 1.0f));

        band->setValueNotifyingHost (0.5f + 0.3f * static_cast<float> ((block % 200) - 100) / 100.0f);

        const auto start = std::chrono::steady_clock::now();
        processor.processBlock (buffer, midi);
        times.push_back (std::chrono::duration<double, std::micro> (std::chrono::steady_clock::now() - start).count());
    }

    return times;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const double sampleRate = argc > 1 ? std::atof (argv[1]) : 192000.0;
    const int blockSize = argc > 2 ? std::atoi (argv[2]) : 64;
    const double seconds = argc > 3 ? std::atof (argv[3]) : 10.0;
    const int runs = argc > 4 ? std::atoi (argv[4]) : 3;
    const auto numBlocks = static_cast<int> (seconds * sampleRate / blockSize);

    std::vector<double> firstRun, cost;

    for (int run = 0; run < runs; ++run)
    {
        const auto times = timeSession (sampleRate, blockSize, numBlocks);

        if (run == 0)
        {
            firstRun = times;
            cost = times;
        }

        for (size_t i = 0; i < times.size(); ++i)
            cost[i] = std::min (cost[i], times[i]);
    }

    const auto worstBlock = static_cast<size_t> (std::max_element (cost.begin(), cost.end()) - cost.begin());
    std::sort (firstRun.begin(), firstRun.end());
    auto sortedCost = cost;
    std::sort (sortedCost.begin(), sortedCost.end());

    const double duration = 1.0e6 * blockSize / sampleRate;
    std::printf ("%d-sample blocks at %.0f Hz with a linked band moved every block, %.0f s of audio (%d blocks), %d runs\n",
                 blockSize, sampleRate, seconds, numBlocks, runs);
    std::printf ("block duration %8.1f us\n", duration);
    std::printf ("                 one run (with interruptions)   cost (shortest of the runs)\n");

    const auto row = [&] (const char* label, double fraction) {
        const auto index = static_cast<size_t> (fraction * static_cast<double> (firstRun.size() - 1));
        std::printf ("%-14s   %8.1f us (%5.1f%%)            %8.1f us (%5.1f%%)\n", label, firstRun[index],
                     100.0 * firstRun[index] / duration, sortedCost[index], 100.0 * sortedCost[index] / duration);
    };

    row ("median", 0.5);
    row ("99.9th centile", 0.999);
    row ("worst", 1.0);
    std::printf ("the worst block is block %zu", worstBlock);

    if (cost.size() > 1)
        std::printf ("; after the first block the worst costs %.1f us (%.1f%%)",
                     *std::max_element (cost.begin() + 1, cost.end()), 100.0 * *std::max_element (cost.begin() + 1, cost.end()) / duration);

    std::printf ("\n");
    return 0;
}
