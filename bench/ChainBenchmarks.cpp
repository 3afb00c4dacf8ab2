// The whole chain through the processor, as a host runs it. The "realtime" counter is the
// real-time factor: seconds of stereo audio processed per CPU second on one core.

#include "plugin/KelvaneProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
struct Chain
{
    Chain (double rate, bool fir, int blockSize) : buffer (2, blockSize)
    {
        processor.valueTreeState.getParameter ("EQ Mode")->setValueNotifyingHost (fir ? 1.0f : 0.0f);
        processor.prepareToPlay (rate, blockSize);
        fillWithNoise();

        // Past the start-up: the mode's crossfade, the first kernels and every glide are done.
        for (int i = 0; i < static_cast<int> (1.5 * rate) / blockSize; ++i)
            process();
    }

    void fillWithNoise()
    {
        juce::Random random (1);

        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                buffer.setSample (c, i, 0.5f * (2.0f * random.nextFloat() - 1.0f));
    }

    void process()
    {
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    OSK::KelvaneProcessor processor;
    juce::AudioBuffer<float> buffer;
    juce::MidiBuffer midi;
};

void setRealTimeCounter (benchmark::State& state, double rate, int blockSize)
{
    state.counters["realtime"] = benchmark::Counter (static_cast<double> (state.iterations()) * blockSize / rate,
                                                     benchmark::Counter::kIsRate);
}

/** Arguments: sample rate, FIR mode (0/1). Steady parameters, 512-sample blocks. */
void chainSteady (benchmark::State& state)
{
    const auto rate = static_cast<double> (state.range (0));
    Chain chain (rate, state.range (1) != 0, 512);

    for (auto _ : state)
        chain.process();

    setRealTimeCounter (state, rate, 512);
}

/** The same with one linked equaliser band moved before every 64-sample block, as automation
    does: both channels redesign the band and refresh their spectra every block. */
void chainAutomated (benchmark::State& state)
{
    const auto rate = static_cast<double> (state.range (0));
    Chain chain (rate, state.range (1) != 0, 64);
    auto* band = chain.processor.valueTreeState.getParameter ("MMidBand");
    int step = 0;

    for (auto _ : state)
    {
        band->setValueNotifyingHost (0.5f + 0.3f * static_cast<float> ((step++ % 200) - 100) / 100.0f);
        chain.process();
    }

    setRealTimeCounter (state, rate, 64);
}

/** Silence after loud input decays toward the denormal range in every filter, detector and
    meter; flushing denormals keeps a silent block as cheap as a block of noise. Argument: 1 for
    silence after a decay, 0 for noise. */
void chainAfterDecay (benchmark::State& state)
{
    Chain chain (48000.0, true, 512);

    for (int i = 0; i < 200; ++i)
        chain.process();

    if (state.range (0) != 0)
    {
        chain.buffer.clear();

        for (int i = 0; i < 2000; ++i) // 21 s of silence: long decayed
            chain.process();
    }

    for (auto _ : state)
    {
        if (state.range (0) != 0)
            chain.buffer.clear();
        else
            chain.fillWithNoise();

        chain.process();
    }

    setRealTimeCounter (state, 48000.0, 512);
}
} // namespace

BENCHMARK (chainSteady)->ArgsProduct ({ { 44100, 48000, 96000, 192000 }, { 0, 1 } })->ArgNames ({ "rate", "fir" })->Unit (benchmark::kMicrosecond);
BENCHMARK (chainAutomated)->ArgsProduct ({ { 44100, 48000, 96000, 192000 }, { 0, 1 } })->ArgNames ({ "rate", "fir" })->Unit (benchmark::kMicrosecond);
BENCHMARK (chainAfterDecay)->Arg (0)->Arg (1)->ArgName ("silence")->Unit (benchmark::kMicrosecond);
