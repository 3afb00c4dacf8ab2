// Metering: peaks after every stage, the stages' gain reduction, the output's RMS, correlation
// and balance, their ballistics and the display values the editor and the host read.

#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <cmath>

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

    /** Instant attack, exponential fall. */
    void updatePeak (double& peak, double sample, double decay) noexcept
    {
        peak = std::max ({ std::abs (sample), levelFloor, peak * decay });
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

void KelvaneDsp::updateStagePeaks (std::array<double, numChannels>& peaks, const double* samples) noexcept
{
    for (int c = 0; c < numChannels; ++c)
        updatePeak (peaks[static_cast<size_t> (c)], samples[c], meterDecay);
}

void KelvaneDsp::updateOutputMeters (const double* o) noexcept
{
    updateStagePeaks (meters.outputPeak, o);

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
