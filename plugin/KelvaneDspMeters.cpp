// Metering: peaks after every stage, the stages' gain reduction, the output's RMS, correlation
// and balance, their ballistics and the display values the editor and the host read.

#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace OSK
{
namespace
{
    constexpr double levelFloor = 2.220446049250313e-16;

    /** −48..0 dBFS as 0..1. */
    double peakScale (double level) noexcept { return (20.0 * std::log10 (std::max (level, levelFloor)) + 48.0) / 48.0; }

    /** Gain reduction in dB divided by `range`, computed in single precision as the meters draw it. */
    double reductionScale (double gain, double range) noexcept
    {
        const auto fraction = static_cast<float> ((20.0 * std::log10 (std::max (gain, levelFloor)) + range) / range);
        return static_cast<double> (1.0f - fraction);
    }


    /** Calls visit with the corresponding field of every given set of accumulators, field by field. */
    template <typename Visit, typename... Sets>
    void forEachAccumulator (Visit&& visit, Sets&... sets)
    {
        for (size_t c = 0; c < KelvaneDsp::numChannels; ++c)
        {
            visit (sets.peakAfterExpander[c]...);
            visit (sets.peakAfterEq[c]...);
            visit (sets.peakAfterCompressor[c]...);
            visit (sets.peakAfterLimiter[c]...);
            visit (sets.outputPeak[c]...);
            visit (sets.outputMeanSquare[c]...);
        }

        visit (sets.expanderGain...);
        visit (sets.compressorGainHold...);
        visit (sets.compressorGain...);
        visit (sets.limiterGainHold...);
        visit (sets.limiterGain...);
        visit (sets.correlation...);
        visit (sets.balance...);
    }
} // namespace

void KelvaneDsp::resetMeters() noexcept
{
    meters = {};
    meters.expanderGain = meters.compressorGainHold = meters.compressorGain = 1.0;
    meters.limiterGainHold = meters.limiterGain = 1.0;
    publishMeters();
}

void KelvaneDsp::publishMeters() noexcept
{
    forEachAccumulator ([] (std::atomic<double>& published, double value) { published.store (value, std::memory_order_relaxed); },
                        publishedMeters, meters);
}

void KelvaneDsp::updateStagePeaks (std::array<double, numChannels>& peaks, int numSamples) noexcept
{
    // A peak is only read at the end of a block, and max (|v|, ε, P·decay) per sample comes to
    // the largest of every floored sample decayed over the samples after it, and of the old
    // peak decayed over the chunk. Four running maxima let the samples be taken independently.
    const auto n = static_cast<size_t> (numSamples);
    const double* decayAfter = meterDecayPowers.data() + n - 1;

    for (size_t c = 0; c < numChannels; ++c)
    {
        const double* samples = chunk.signal[c].data();
        double largest[4] = { peaks[c] * meterDecayPowers[n], 0.0, 0.0, 0.0 };
        size_t i = 0;

        for (; i + 4 <= n; i += 4)
            for (size_t lane = 0; lane < 4; ++lane)
                largest[lane] = std::max (largest[lane], std::max (std::abs (samples[i + lane]), levelFloor) * decayAfter[-static_cast<std::ptrdiff_t> (i + lane)]);

        for (; i < n; ++i)
            largest[0] = std::max (largest[0], std::max (std::abs (samples[i]), levelFloor) * decayAfter[-static_cast<std::ptrdiff_t> (i)]);

        peaks[c] = std::max (std::max (largest[0], largest[1]), std::max (largest[2], largest[3]));
    }
}

double KelvaneDsp::heldGain (double held, const double* gains, int numSamples) const noexcept
{
    // min (g, H·grRelease) per sample comes, at the end of a run, to the smallest of every gain
    // raised by the release over the samples after it, and of the old hold raised over the run.
    const auto n = static_cast<size_t> (numSamples);
    const double* riseAfter = grReleasePowers.data() + n - 1;
    double smallest[4] = { held * grReleasePowers[n], held * grReleasePowers[n], held * grReleasePowers[n], held * grReleasePowers[n] };
    size_t i = 0;

    for (; i + 4 <= n; i += 4)
        for (size_t lane = 0; lane < 4; ++lane)
            smallest[lane] = std::min (smallest[lane], gains[i + lane] * riseAfter[-static_cast<std::ptrdiff_t> (i + lane)]);

    for (; i < n; ++i)
        smallest[0] = std::min (smallest[0], gains[i] * riseAfter[-static_cast<std::ptrdiff_t> (i)]);

    return std::min (std::min (smallest[0], smallest[1]), std::min (smallest[2], smallest[3]));
}

void KelvaneDsp::updateOutputMeters (int numSamples) noexcept
{
    updateStagePeaks (meters.outputPeak, numSamples);

    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        const double o[] = { chunk.signal[0][i], chunk.signal[1][i] };
        updateOutputMeters (o);
    }
}

void KelvaneDsp::updateOutputMeters (const double* o) noexcept
{
    for (int c = 0; c < numChannels; ++c)
    {
        const double a = std::max (std::abs (o[c]), levelFloor);
        auto& meanSquare = meters.outputMeanSquare[static_cast<size_t> (c)];
        meanSquare += (a * a - meanSquare) * meterSmoothing;
    }

    // ±1 for the sign of the product, 0 when a channel is silent.
    const double r = o[0] * o[1] / std::max (std::abs (o[0]) * std::abs (o[1]), levelFloor);
    meters.correlation += (r - meters.correlation) * meterSmoothing;

    const double b = 10.0 * (std::sqrt (meters.outputMeanSquare[1]) - std::sqrt (meters.outputMeanSquare[0]));
    meters.balance += (b - meters.balance) * balanceSmoothing;
}

double KelvaneDsp::getMeterValue (int meterIndex) const noexcept
{
    const auto& m = publishedMeters;
    const auto load = [] (const std::atomic<double>& value) { return value.load (std::memory_order_relaxed); };

    // The stage meters show nothing while the chain is switched off; the output meters keep going.
    if (meterIndex >= 0 && meterIndex <= 10 && ! powerOn.load (std::memory_order_relaxed))
        return 0.0;

    double value = 0.0;

    switch (meterIndex)
    {
        case 0:
        case 1:  value = peakScale (load (m.peakAfterExpander[static_cast<size_t> (meterIndex)])); break;
        case 2:  value = reductionScale (load (m.expanderGain), 48.0); break;
        case 3:
        case 4:  value = peakScale (load (m.peakAfterEq[static_cast<size_t> (meterIndex - 3)])); break;
        case 5:
        case 6:  value = peakScale (load (m.peakAfterCompressor[static_cast<size_t> (meterIndex - 5)])); break;
        case 7:  value = reductionScale (load (m.compressorGainHold), 16.0); break;
        case 8:
        case 9:  value = peakScale (load (m.peakAfterLimiter[static_cast<size_t> (meterIndex - 8)])); break;
        case 10: value = reductionScale (load (m.limiterGainHold), 16.0); break;
        case 11:
        case 12: value = peakScale (load (m.outputPeak[static_cast<size_t> (meterIndex - 11)])); break;
        case 13:
        case 14: value = (10.0 * std::log10 (std::max (load (m.outputMeanSquare[static_cast<size_t> (meterIndex - 13)]), levelFloor)) + 48.0) / 48.0; break;
        case 15: value = (load (m.correlation) + 1.0) / 2.0; break;
        case 16: value = (load (m.balance) + 1.0) / 2.0; break;
        default: return 0.0;
    }

    return static_cast<double> (static_cast<float> (value));
}

double KelvaneDsp::getHostMeterValue (int hostMeterIndex) const noexcept
{
    if (! powerOn.load (std::memory_order_relaxed))
        return 0.0;

    switch (hostMeterIndex)
    {
        case 0:  return 1.0 - publishedMeters.expanderGain.load (std::memory_order_relaxed);
        case 1:  return 1.0 - publishedMeters.compressorGain.load (std::memory_order_relaxed);
        case 2:  return 1.0 - publishedMeters.limiterGain.load (std::memory_order_relaxed);
        default: return 0.0;
    }
}

} // namespace OSK
