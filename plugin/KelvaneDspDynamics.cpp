// The dynamics stages: a downward expander and a compressor sharing a stereo-linked peak
// detector and a softplus knee, and the look-ahead brick-wall limiter.

#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <cmath>

namespace OSK
{
namespace
{
    /** Every level is floored here before a logarithm, about −313 dB. */
    constexpr double levelFloor = 2.220446049250313e-16;

    /** A smooth max (0, Δ) in dB: 2·ln (1 + e^(Δ/2)), at most 1.386 dB above it, at Δ = 0. */
    double softKnee (double delta) noexcept { return 2.0 * std::log1p (std::exp (delta / 2.0)); }

    double decibelsToGain (double decibels) noexcept { return std::pow (10.0, decibels / 20.0); }

    /** Moves a stereo-linked peak envelope toward max (|a0|, |a1|) and returns its level in dB.
        A peak equal to the envelope counts as falling. */
    double detectLevel (const double* a, double& envelope, double attack, double release) noexcept
    {
        const double peak = std::max (std::abs (a[0]), std::abs (a[1]));
        envelope += (peak - envelope) * (peak > envelope ? attack : release);
        return 20.0 * std::log10 (std::max (envelope, levelFloor));
    }
} // namespace

double KelvaneDsp::expanderGainFor (const double* x) noexcept
{
    const double level = detectLevel (x, expanderEnvelope, expanderAttack, expanderRelease);

    // Below the threshold every dB of level costs `ratio` dB more; far above it nothing.
    const double gain = decibelsToGain (-currentValues[expanderRatio] * softKnee (currentValues[expanderThreshold] - level));
    meters.expanderGain = gain;

    return gain + (1.0 - gain) * currentValues[expanderBypass];
}

double KelvaneDsp::compressorGainFor (const double* z) noexcept
{
    const double level = detectLevel (z, compressorEnvelope, compressorAttack, compressorRelease);
    const double gain = decibelsToGain (currentValues[compressorSlope] * softKnee (level - currentValues[compressorThreshold]));

    meters.compressorGain = gain;
    meters.compressorGainHold = std::min (gain, meters.compressorGainHold * grRelease);

    // The make-up sits inside the bypass blend, so bypassing also fades it out.
    const double withMakeup = gain * currentValues[compressorMakeup];
    return withMakeup + (1.0 - withMakeup) * currentValues[compressorBypass];
}

void KelvaneDsp::processLimiter (const double* in, double* out) noexcept
{
    const double ceiling = currentValues[limiterCeiling];
    const bool bypassed = targetValues[limiterBypass] > 0.5;
    const double drive = bypassed ? 1.0 : currentValues[limiterInputGain];
    const int length = lookaheadSamples;

    for (int c = 0; c < numChannels; ++c)
        limiterLookahead->writeAtHead (c, in[c] * drive);

    // The largest magnitude in the look-ahead window, never below the ceiling.
    double windowPeak = ceiling;

    for (int c = 0; c < numChannels; ++c)
    {
        const double* window = limiterLookahead->window (c);

        for (int k = 0; k < length; ++k)
            windowPeak = std::max (windowPeak, std::abs (window[k]));
    }

    // Averaging the last L window peaks fades the reduction in over L samples; every one of
    // them covers the sample about to leave the look-ahead, so their mean is at least its size.
    limiterPeakHistory->writeAtHead (0, windowPeak);
    const double* peaks = limiterPeakHistory->window (0);
    double sum = 0.0;

    for (int k = length - 1; k >= 0; --k)
        sum += peaks[k];

    limiterPeakHistory->advance();
    const double average = sum / length;

    // Rises at once, falls with the release.
    limiterEnvelope = std::max (average, limiterEnvelope + (average - limiterEnvelope) * limiterRelease);

    const double gain = ceiling / limiterEnvelope;
    const double blended = gain + (1.0 - gain) * currentValues[limiterBypass];
    meters.limiterGain = blended;
    meters.limiterGainHold = std::min (blended, meters.limiterGainHold * grRelease);

    const double outputGain = bypassed ? 1.0 : currentValues[limiterOutputGain];
    limiterLookahead->advance();

    for (int c = 0; c < numChannels; ++c)
        out[c] = limiterPostDelay->pushAndRead (c, limiterLookahead->readOldest (c) * blended * outputGain);
}

} // namespace OSK
