// One channel of the equaliser's FIR convolution: the direct sum against the partitioned
// convolver, at the kernel lengths of 44.1/48, 88.2/96 and 176.4/192 kHz. The "per_sample"
// counter is the time per input sample (one channel).

#include "osk_dsp/FirSample.h"
#include "osk_dsp/PartitionedConvolver.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace
{
constexpr int samplesPerIteration = 4096;

std::vector<double> randomSignal (int length, unsigned seed)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<double> uniform (-1.0, 1.0);
    std::vector<double> signal (static_cast<size_t> (length));

    for (auto& x : signal)
        x = uniform (random);

    return signal;
}

void setPerSampleCounter (benchmark::State& state)
{
    state.counters["per_sample"] = benchmark::Counter (samplesPerIteration,
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

/** Argument: kernel length. The direct sum over a delay line that stores every sample twice. */
void directSum (benchmark::State& state)
{
    const int length = static_cast<int> (state.range (0));
    const auto kernel = randomSignal (length, 1);
    const auto input = randomSignal (samplesPerIteration, 2);
    std::vector<double> history (2 * static_cast<size_t> (length), 0.0);
    int write = 0;

    for (auto _ : state)
    {
        for (const double x : input)
        {
            history[static_cast<size_t> (write)] = x;
            history[static_cast<size_t> (write + length)] = x;

            if (++write == length)
                write = 0;

            // After the write, the window of the last `length` inputs starts at the write index.
            benchmark::DoNotOptimize (OSK::DSP::firSample (kernel.data(), history.data() + write, length));
        }
    }

    setPerSampleCounter (state);
}

/** Arguments: kernel length, block size (0: the convolver's choice), switch kernels every N
    samples (0/1). */
void partitioned (benchmark::State& state)
{
    const int length = static_cast<int> (state.range (0));
    const bool switching = state.range (2) != 0;
    const std::vector<double> kernels[] = { randomSignal (length, 1), randomSignal (length, 3) };
    const auto input = randomSignal (samplesPerIteration, 2);

    OSK::DSP::PartitionedConvolver convolver;
    convolver.prepare (length, static_cast<int> (state.range (1)));
    convolver.setKernel (kernels[0].data(), length);
    int untilSwitch = length;
    int next = 1;

    for (auto _ : state)
    {
        for (const double x : input)
        {
            if (switching && --untilSwitch == 0)
            {
                convolver.setKernel (kernels[next].data(), length);
                next = 1 - next;
                untilSwitch = length;
            }

            benchmark::DoNotOptimize (convolver.process (x));
        }
    }

    state.counters["block"] = convolver.getBlockSize();
    setPerSampleCounter (state);
}

void kernelLengths (benchmark::internal::Benchmark* b)
{
    for (const int length : { 769, 1537, 3073 })
        b->Arg (length);
}

void steadyAndSwitching (benchmark::internal::Benchmark* b)
{
    for (const int length : { 769, 1537, 3073 })
        for (const int switching : { 0, 1 })
            b->Args ({ length, 0, switching });
}

void blockSizeSweep (benchmark::internal::Benchmark* b)
{
    for (const int length : { 300, 769, 1100, 1537, 3073, 6000 })
        for (const int blockSize : { 16, 32, 64, 128, 256, 512 })
            b->Args ({ length, blockSize, 0 });
}
} // namespace

BENCHMARK (directSum)->Apply (kernelLengths);
BENCHMARK (partitioned)->Apply (steadyAndSwitching);

// How the block size was chosen: run with --benchmark_filter=partitionedBlockSize.
BENCHMARK (partitioned)->Name ("partitionedBlockSize")->Apply (blockSizeSweep);
