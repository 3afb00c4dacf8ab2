// The per-sample chain, run a chunk at a time: input and dry delay, expander, input matrix,
// equaliser and output matrix, compressor, limiter, and the "Power" mix with the output meters.
//
// Each stage keeps its own per-sample order, and every working value glides once per sample
// before the stage that reads it; stages that share no state need not interleave sample by
// sample, so each runs as a tight loop over the chunk.

#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace OSK
{
namespace
{
    /** Every level is floored here before a logarithm, about −313 dB. */
    constexpr double levelFloor = 2.220446049250313e-16;

    /** 20 / ln 10 and ln 10 / 20: decibels from natural logarithms and back, cheaper than log10
        and pow on every sample. */
    constexpr double decibelsPerNeper = 8.6858896380650365;
    constexpr double nepersPerDecibel = 0.11512925464970229;

    /** A smooth max (0, Δ) in dB: 2·ln (1 + e^(Δ/2)), at most 1.386 dB above it, at Δ = 0. Above
        0 it is worked out as Δ + 2·ln (1 + e^(−Δ/2)), the same value, which keeps exp and log1p
        on small arguments: deep in the expansion (silence) they would otherwise meet huge ones. */
    double softKnee (double delta) noexcept
    {
        return delta > 0.0 ? delta + 2.0 * std::log1p (std::exp (-delta / 2.0)) : 2.0 * std::log1p (std::exp (delta / 2.0));
    }

    double decibelsToGain (double decibels) noexcept { return std::exp (decibels * nepersPerDecibel); }

    double levelOf (double envelope) noexcept { return decibelsPerNeper * std::log (std::max (envelope, levelFloor)); }

    /** Moves a stereo-linked peak envelope toward max (|a0|, |a1|); a peak equal to the envelope
        counts as falling. */
    double follow (double envelope, double a0, double a1, double attack, double release) noexcept
    {
        const double peak = std::max (std::abs (a0), std::abs (a1));
        return envelope + (peak - envelope) * (peak > envelope ? attack : release);
    }
} // namespace

bool KelvaneDsp::smoothingChangesNothing (SmoothingGroup group) const noexcept
{
    // Targets only change between blocks: a step that leaves every value as it is will leave it
    // so for the whole block, and the block can skip the glide without any difference.
    for (auto k = static_cast<size_t> (group.first); k <= static_cast<size_t> (group.last); ++k)
        if (currentValues[k] + (targetValues[k] - currentValues[k]) * smoothingCoefficient != currentValues[k])
            return false;

    return true;
}

void KelvaneDsp::smooth (SmoothingGroup group) noexcept
{
    // Every value glides every sample, so that no parameter change can click.
    if (groupAtRest[static_cast<size_t> (group.index)])
        return;

    for (auto k = static_cast<size_t> (group.first); k <= static_cast<size_t> (group.last); ++k)
        currentValues[k] += (targetValues[k] - currentValues[k]) * smoothingCoefficient;
}

void KelvaneDsp::runExpander (int numSamples) noexcept
{
    auto& x0 = chunk.signal[0];
    auto& x1 = chunk.signal[1];
    auto& ratio = chunk.values[0];
    auto& threshold = chunk.values[1];
    auto& bypass = chunk.values[2];

    // What carries from sample to sample: the glide and the detector.
    double envelope = expanderEnvelope;

    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        smooth (expanderGroup);
        ratio[i] = currentValues[expanderRatio];
        threshold[i] = currentValues[expanderThreshold];
        bypass[i] = currentValues[expanderBypass];
        envelope = follow (envelope, x0[i], x1[i], expanderAttack, expanderRelease);
        chunk.envelope[i] = envelope;
    }

    expanderEnvelope = envelope;

    // The gain of each sample on its own. Below the threshold every dB of level costs `ratio` dB
    // more; far above it nothing. The bypass blends the gain toward unity.
    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        const double gain = decibelsToGain (-ratio[i] * softKnee (threshold[i] - levelOf (chunk.envelope[i])));
        chunk.gain[i] = gain;
        const double blended = gain + (1.0 - gain) * bypass[i];
        x0[i] *= blended;
        x1[i] *= blended;
    }

    if (numSamples > 0)
        meters.expanderGain = chunk.gain[static_cast<size_t> (numSamples - 1)];

    updateStagePeaks (meters.peakAfterExpander, numSamples);
}

void KelvaneDsp::runEqualiser (int numSamples) noexcept
{
    if (groupAtRest[static_cast<size_t> (equaliserGroup.index)])
    {
        equaliseSteadyChunk (numSamples);
        updateStagePeaks (meters.peakAfterEq, numSamples);
        return;
    }

    // While its values glide, the equaliser runs sample by sample.
    const auto& w = currentValues;

    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        processFIRUpdate();
        smooth (equaliserGroup);

        const double y0 = chunk.signal[0][i], y1 = chunk.signal[1][i];
        const double m[] = { w[inMatrix] * y0 + w[inMatrix + 1] * y1, w[inMatrix + 2] * y0 + w[inMatrix + 3] * y1 };
        double e[numChannels];
        processEQ (m, e);

        chunk.signal[0][i] = w[outMatrix] * e[0] + w[outMatrix + 1] * e[1];
        chunk.signal[1][i] = w[outMatrix + 2] * e[0] + w[outMatrix + 3] * e[1];
    }

    updateStagePeaks (meters.peakAfterEq, numSamples);
}

void KelvaneDsp::runCompressor (int numSamples) noexcept
{
    auto& z0 = chunk.signal[0];
    auto& z1 = chunk.signal[1];
    auto& threshold = chunk.values[0];
    auto& slope = chunk.values[1];
    auto& makeup = chunk.values[2];
    auto& bypass = chunk.values[3];

    double envelope = compressorEnvelope;

    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        smooth (compressorGroup);
        threshold[i] = currentValues[compressorThreshold];
        slope[i] = currentValues[compressorSlope];
        makeup[i] = currentValues[compressorMakeup];
        bypass[i] = currentValues[compressorBypass];
        envelope = follow (envelope, z0[i], z1[i], compressorAttack, compressorRelease);
        chunk.envelope[i] = envelope;
    }

    compressorEnvelope = envelope;

    // Well above the threshold the level rises by 1/ratio dB per dB. The make-up sits inside the
    // bypass blend, so bypassing also fades it out.
    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        // At 1:1 the slope is 0 and the gain exactly 1, whatever the level: no need to work it out.
        const double gain = slope[i] == 0.0 ? 1.0 : decibelsToGain (slope[i] * softKnee (levelOf (chunk.envelope[i]) - threshold[i]));
        chunk.gain[i] = gain;
        const double withMakeup = gain * makeup[i];
        const double blended = withMakeup + (1.0 - withMakeup) * bypass[i];
        z0[i] *= blended;
        z1[i] *= blended;
    }

    if (numSamples > 0)
    {
        meters.compressorGainHold = heldGain (meters.compressorGainHold, chunk.gain.data(), numSamples);
        meters.compressorGain = chunk.gain[static_cast<size_t> (numSamples - 1)];
    }

    updateStagePeaks (meters.peakAfterCompressor, numSamples);
}

void KelvaneDsp::runLimiter (int numSamples) noexcept
{
    limitBlock (chunk.signal[0].data(), chunk.signal[1].data(), chunk.signal[0].data(), chunk.signal[1].data(), numSamples, true);
    updateStagePeaks (meters.peakAfterLimiter, numSamples);
}

void KelvaneDsp::runOutput (int numSamples) noexcept
{
    // "Power" crossfades between the chain and the input delayed by the same latency.
    for (size_t i = 0; i < static_cast<size_t> (numSamples); ++i)
    {
        smooth (outputGroup);

        for (size_t c = 0; c < numChannels; ++c)
            chunk.signal[c][i] = chunk.dry[c][i] + (chunk.signal[c][i] - chunk.dry[c][i]) * currentValues[power];
    }

    updateOutputMeters (numSamples);
}

template <typename Sample>
void KelvaneDsp::processChain (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept
{
    static_assert (std::tuple_size<decltype (meterDecayPowers)>::value == chunkSize + 1);

    if (! isPrepared())
        return;

    for (const auto& group : smoothingGroups)
        groupAtRest[static_cast<size_t> (group.index)] = smoothingChangesNothing (group);

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int count = std::min (chunkSize, numSamples - start);

        // Both inputs of a sample are read before its outputs are written: the host's buffer is
        // processed in place.
        for (int c = 0; c < numChannels; ++c)
        {
            auto& signal = chunk.signal[static_cast<size_t> (c)];

            for (int i = 0; i < count; ++i)
                signal[static_cast<size_t> (i)] = sanitisedInput (static_cast<double> (inputs[c][start + i]));

            dryDelay->pushAndReadBlock (c, signal.data(), chunk.dry[static_cast<size_t> (c)].data(), count);
        }

        runExpander (count);
        runEqualiser (count);
        runCompressor (count);
        runLimiter (count);
        runOutput (count);

        for (int c = 0; c < numChannels; ++c)
            for (int i = 0; i < count; ++i)
                outputs[c][start + i] = static_cast<Sample> (chunk.signal[static_cast<size_t> (c)][static_cast<size_t> (i)]);
    }

    publishMeters();
}

void KelvaneDsp::processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept
{
    processChain (numSamples, inputs, outputs);
}

void KelvaneDsp::processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept
{
    processChain (numSamples, inputs, outputs);
}

} // namespace OSK
