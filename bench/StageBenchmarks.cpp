// What each stage of the chain costs, in nanoseconds per stereo sample, at 44.1 and 192 kHz:
// the stages are run one at a time on a chunk of noise through the engine's own code.

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneProcessor.h"

#include <benchmark/benchmark.h>

namespace OSK
{
/** Reaches the engine's chunk stages for timing them one by one. */
struct KelvaneDspStageProbe
{
    static constexpr int chunk = KelvaneDsp::chunkSize;

    using Chunk = std::array<std::array<double, KelvaneDsp::chunkSize>, KelvaneDsp::numChannels>;

    static Chunk noise()
    {
        juce::Random random (1);
        Chunk result {};

        for (auto& channel : result)
            for (auto& sample : channel)
                sample = 0.5 * (2.0 * random.nextDouble() - 1.0);

        return result;
    }

    static void load (KelvaneDsp& engine, const Chunk& signal) { engine.chunk.signal = signal; }

    static void glideEverything (KelvaneDsp& engine) { engine.groupAtRest.fill (false); }

    static void smoothAll (KelvaneDsp& engine)
    {
        for (const auto& group : KelvaneDsp::smoothingGroups)
            engine.smooth (group);
    }

    static void expander (KelvaneDsp& engine) { engine.runExpander (chunk); }
    static void compressor (KelvaneDsp& engine) { engine.runCompressor (chunk); }
    static void iir (KelvaneDsp& engine) { engine.runIirSections (engine.chunk.signal[0].data(), engine.chunk.signal[1].data(), chunk); }

    static void limiter (KelvaneDsp& engine)
    {
        auto& signal = engine.chunk.signal;
        engine.limitBlock (signal[0].data(), signal[1].data(), signal[0].data(), signal[1].data(), chunk, false);
    }

    static void meters (KelvaneDsp& engine)
    {
        for (auto* peaks : { &engine.meters.peakAfterExpander, &engine.meters.peakAfterEq, &engine.meters.peakAfterCompressor,
                             &engine.meters.peakAfterLimiter })
            engine.updateStagePeaks (*peaks, chunk);

        engine.updateOutputMeters (chunk);
    }
};
} // namespace OSK

namespace
{
using Probe = OSK::KelvaneDspStageProbe;

/** A prepared engine with a chunk of noise, and the compressor working (4:1 from −30 dB). */
struct Engine
{
    explicit Engine (double rate)
    {
        engine.prepareToPlay (rate, 512, 2, 2);
        engine.parameterChanged (OSK::CompThr, 0.375f);
        engine.parameterChanged (OSK::CompRtio, 1.0f / 3.0f);
        engine.currentValues = engine.targetValues;
        Probe::load (engine, noise);
    }

    OSK::KelvaneProcessor owner;
    OSK::KelvaneDsp engine { owner };
    const Probe::Chunk noise = Probe::noise();
};

void perStereoSample (benchmark::State& state, int samplesPerIteration)
{
    state.counters["ns/sample"] = benchmark::Counter (static_cast<double> (state.iterations()) * samplesPerIteration,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <void (*stage) (OSK::KelvaneDsp&)>
void stageBenchmark (benchmark::State& state)
{
    Engine e (static_cast<double> (state.range (0)));

    for (auto _ : state)
    {
        Probe::load (e.engine, e.noise);
        stage (e.engine);
        benchmark::ClobberMemory();
    }

    perStereoSample (state, Probe::chunk);
}

/** The glide of all 73 working values, as while parameters move. */
void smoothing (benchmark::State& state)
{
    Engine e (static_cast<double> (state.range (0)));

    for (auto _ : state)
    {
        Probe::glideEverything (e.engine);
        Probe::smoothAll (e.engine);
        benchmark::ClobberMemory();
    }

    perStereoSample (state, 1);
}

/** Both channels' FIR convolution with their kernels in place. */
void firConvolution (benchmark::State& state)
{
    Engine e (static_cast<double> (state.range (0)));
    auto& convolvers = e.engine.convolvers;
    double x = 0.1, sum = 0.0;

    for (auto _ : state)
    {
        for (int i = 0; i < Probe::chunk; ++i)
        {
            x = -x;
            sum += convolvers[0].process (x) + convolvers[1].process (x);
        }
    }

    benchmark::DoNotOptimize (sum);
    perStereoSample (state, Probe::chunk);
}

/** One kernel per channel every N samples, as under continuous automation: the synthesis and the
    convolvers' new kernel spectra, spread over the N samples. */
void kernelSynthesis (benchmark::State& state)
{
    Engine e (static_cast<double> (state.range (0)));
    auto& engine = e.engine;

    for (auto _ : state)
        for (size_t c = 0; c < 2; ++c)
        {
            engine.kernelSynthesiser.synthesise (engine.cascadeMagnitudes[c].getMagnitudes(), engine.kernelWindow.data(),
                                                 engine.nextKernel[c].data());
            engine.convolvers[c].setKernel (engine.nextKernel[c].data(), engine.firLength);
        }

    perStereoSample (state, engine.firLength);
}

/** A linked band change: both channels redesign the band and update their magnitude responses. */
void bandChange (benchmark::State& state)
{
    Engine e (static_cast<double> (state.range (0)));
    float value = 0.3f;

    for (auto _ : state)
    {
        value = 1.0f - value;
        e.engine.parameterChanged (OSK::MMidBand, value);
        e.engine.parameterChanged (OSK::SMidBand, value);
    }
}
} // namespace

#define KELVANE_STAGE(name, function) \
    BENCHMARK_TEMPLATE (stageBenchmark, function)->Name (name)->Arg (44100)->Arg (192000)

KELVANE_STAGE ("stage/expander", Probe::expander);
KELVANE_STAGE ("stage/equaliserIir", Probe::iir);
KELVANE_STAGE ("stage/compressor", Probe::compressor);
KELVANE_STAGE ("stage/limiter", Probe::limiter);
KELVANE_STAGE ("stage/meters", Probe::meters);
BENCHMARK (smoothing)->Name ("stage/smoothing")->Arg (44100)->Arg (192000);
BENCHMARK (firConvolution)->Name ("stage/firConvolution")->Arg (44100)->Arg (192000);
BENCHMARK (kernelSynthesis)->Name ("stage/kernelSynthesis")->Arg (44100)->Arg (192000);
BENCHMARK (bandChange)->Name ("stage/linkedBandChange")->Arg (44100)->Arg (192000)->Unit (benchmark::kMicrosecond);
