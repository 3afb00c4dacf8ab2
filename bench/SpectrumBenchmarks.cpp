// The equaliser's FIR kernel pipeline, straightforward against fast: the complex spectrum of a
// band change against the table-driven magnitudes (all five sections, or the one that moved), and
// the tap-by-tap inverse DFT of a whole kernel against one inverse FFT. The argument is the FFT
// size M; the sample rate, kernel length N and centre D are those the equaliser uses with it.

#include "osk_dsp/BiquadSpectrum.h"
#include "osk_dsp/CascadeMagnitude.h"
#include "osk_dsp/KernelSynthesiser.h"
#include "osk_dsp/PrototypeFilter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <complex>
#include <vector>

namespace
{
using namespace OSK::DSP;

/** A five-band setting at the equaliser's size for one FFT size, with its window. */
struct Setup
{
    explicit Setup (int size)
        : fftSize (size),
          kernelLength (size * 3 / 4 + 1),
          centre (size * 3 / 8),
          sampleRate (size >= 4096 ? 192000.0 : size >= 2048 ? 96000.0 : 48000.0),
          spectrum (static_cast<size_t> (size)),
          window (static_cast<size_t> (kernelLength)),
          kernel (static_cast<size_t> (kernelLength))
    {
        const PrototypeFilterType types[] = { HighShelf2, Peak, Peak, Peak, LowShelf2 };
        const double frequencies[] = { 12000.0, 4500.0, 1500.0, 450.0, 80.0 };
        const double decibels[] = { 6.0, 4.0, 9.0, 12.0, 3.0 };

        for (size_t band = 0; band < 5; ++band)
        {
            const double gain = std::pow (10.0, decibels[band] / 20.0);
            const double q = (band >= 1 && band <= 3) ? gain / 9.0 * 4.0 : 0.7071067811865475;
            prewarped (cascade.data() + 5 * band, types[band], sampleRate, frequencies[band], q, gain);
        }

        // A raised cosine: the timings do not depend on the window's values.
        for (int n = 0; n < kernelLength; ++n)
            window[static_cast<size_t> (n)] = 0.5 - 0.5 * std::cos (2.0 * 3.14159265358979323846 * (n + 1) / (kernelLength + 1));

        magnitude.prepare (fftSize, sampleRate);
        magnitude.setCascade (cascade.data());
        synthesiser.prepare (fftSize, kernelLength, centre);
        biquadCascadeToSpectrum (cascade.data(), 5, spectrum, sampleRate, static_cast<double> (centre));

        // idft builds its table on the first call for a size; keep that out of the timings.
        benchmark::DoNotOptimize (idft (spectrum, 0));
    }

    int fftSize, kernelLength, centre;
    double sampleRate;
    std::array<double, 25> cascade {};
    std::vector<std::complex<double>> spectrum;
    std::vector<double> window, kernel;
    CascadeMagnitude magnitude;
    KernelSynthesiser synthesiser;
};

/** A band change the straightforward way: the complex spectrum of the whole cascade, every bin. */
void referenceSpectrum (benchmark::State& state)
{
    Setup s (static_cast<int> (state.range (0)));

    for (auto _ : state)
    {
        biquadCascadeToSpectrum (s.cascade.data(), 5, s.spectrum, s.sampleRate, static_cast<double> (s.centre));
        benchmark::DoNotOptimize (s.spectrum.data());
        benchmark::ClobberMemory();
    }
}

/** All five sections' magnitudes from the tables, then their product. */
void cascadeMagnitudeAll (benchmark::State& state)
{
    Setup s (static_cast<int> (state.range (0)));

    for (auto _ : state)
    {
        s.magnitude.setCascade (s.cascade.data());
        benchmark::DoNotOptimize (s.magnitude.getMagnitudes());
        benchmark::ClobberMemory();
    }
}

/** A band change the fast way: the one section that moved, then the product. */
void cascadeMagnitudeOneSection (benchmark::State& state)
{
    Setup s (static_cast<int> (state.range (0)));

    for (auto _ : state)
    {
        s.magnitude.setSection (2, s.cascade.data() + 10);
        benchmark::DoNotOptimize (s.magnitude.getMagnitudes());
        benchmark::ClobberMemory();
    }
}

/** A whole kernel tap by tap, as the N samples of a pending update compute it; time per kernel. */
void referenceSynthesis (benchmark::State& state)
{
    Setup s (static_cast<int> (state.range (0)));

    for (auto _ : state)
    {
        for (int n = 0; n < s.kernelLength; ++n)
            s.kernel[static_cast<size_t> (n)] = idft (s.spectrum, n) * s.window[static_cast<size_t> (n)];

        benchmark::DoNotOptimize (s.kernel.data());
        benchmark::ClobberMemory();
    }
}

/** A whole kernel with one inverse FFT; time per kernel. */
void fftSynthesis (benchmark::State& state)
{
    Setup s (static_cast<int> (state.range (0)));

    for (auto _ : state)
    {
        s.synthesiser.synthesise (s.magnitude.getMagnitudes(), s.window.data(), s.kernel.data());
        benchmark::DoNotOptimize (s.kernel.data());
        benchmark::ClobberMemory();
    }
}
} // namespace

BENCHMARK (referenceSpectrum)->Arg (4096)->Arg (1024)->ArgName ("bins")->Unit (benchmark::kMicrosecond);
BENCHMARK (cascadeMagnitudeAll)->Arg (4096)->Arg (1024)->ArgName ("bins")->Unit (benchmark::kMicrosecond);
BENCHMARK (cascadeMagnitudeOneSection)->Arg (4096)->Arg (1024)->ArgName ("bins")->Unit (benchmark::kMicrosecond);
BENCHMARK (referenceSynthesis)->Arg (4096)->Arg (1024)->ArgName ("bins")->Unit (benchmark::kMicrosecond);
BENCHMARK (fftSynthesis)->Arg (4096)->Arg (1024)->ArgName ("bins")->Unit (benchmark::kMicrosecond);
