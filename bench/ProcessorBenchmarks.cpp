// The cost of what a host does besides processing: creating an instance and pushing parameters.

#include "plugin/KelvaneProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
void processorConstruction (benchmark::State& state)
{
    for (auto _ : state)
    {
        OSK::KelvaneProcessor processor;
        benchmark::DoNotOptimize (processor.numParameters);
    }
}

/** One block's parameter push with every parameter moved, as after a program change. */
void fullParameterPush (benchmark::State& state)
{
    OSK::KelvaneProcessor processor;
    processor.prepareToPlay (48000.0, 512);

    for (auto _ : state)
    {
        processor.forceParameterUpdate = true;
        processor.updateParameters();
    }
}
} // namespace

BENCHMARK (processorConstruction)->Unit (benchmark::kMillisecond);
BENCHMARK (fullParameterPush)->Unit (benchmark::kMicrosecond);
