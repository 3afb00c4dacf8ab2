// The look-ahead brick-wall limiter. (The expander and the compressor run in the chain.)

#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace OSK
{
void KelvaneDsp::processLimiter (const double* in, double* out) noexcept
{
    limitBlock (&in[0], &in[1], &out[0], &out[1], 1, false);
}

void KelvaneDsp::limitBlock (const double* in0, const double* in1, double* out0, double* out1, int numSamples, bool glide) noexcept
{
    const auto n = static_cast<size_t> (numSamples);
    const int length = lookaheadSamples;
    const bool bypassed = targetValues[limiterBypass] > 0.5;
    auto& driven0 = chunk.values[0];
    auto& driven1 = chunk.values[1];
    auto& gain = chunk.values[2];
    auto& outputGain = chunk.values[3];
    auto& ceiling = chunk.envelope;
    auto& blend = chunk.gain;

    // What carries from sample to sample on the way in: the glide, the window maximum and the
    // running sum of the window peaks.
    double peakSum = limiterPeakSum;
    int peakSumAge = limiterPeakSumAge;
    const double reciprocalLength = 1.0 / length;

    for (size_t i = 0; i < n; ++i)
    {
        if (glide)
            smooth (limiterGroup);

        ceiling[i] = currentValues[limiterCeiling];
        blend[i] = currentValues[limiterBypass];
        outputGain[i] = bypassed ? 1.0 : currentValues[limiterOutputGain];
        const double drive = bypassed ? 1.0 : currentValues[limiterInputGain];
        const double s0 = in0[i] * drive;
        const double s1 = in1[i] * drive;
        driven0[i] = s0;
        driven1[i] = s1;

        // The largest magnitude in the look-ahead window of both channels, never below the ceiling.
        const double windowPeak = std::max (ceiling[i], limiterWindowMax.push (std::max (std::abs (s0), std::abs (s1))));

        // Averaging the last L window peaks fades the reduction in over L samples; every one of
        // them covers the sample about to leave the look-ahead, so their mean is at least its
        // size. The sum runs along with the window and is summed afresh once per window length,
        // so rounding never accumulates.
        const double leaving = limiterPeakHistory->readBack (0, 0);
        limiterPeakHistory->writeAtHead (0, windowPeak);

        if (++peakSumAge >= length)
        {
            peakSumAge = 0;
            const double* peaks = limiterPeakHistory->window (0);
            peakSum = 0.0;

            for (int k = length - 1; k >= 0; --k)
                peakSum += peaks[k];
        }
        else
        {
            peakSum += windowPeak - leaving;
        }

        limiterPeakHistory->advance();
        gain[i] = peakSum * reciprocalLength;
    }

    limiterPeakSum = peakSum;
    limiterPeakSumAge = peakSumAge;

    // The envelope rises at once and falls with the release.
    double envelope = limiterEnvelope;

    for (size_t i = 0; i < n; ++i)
    {
        const double average = gain[i];
        envelope = std::max (average, envelope + (average - envelope) * limiterRelease);
        gain[i] = envelope;
    }

    limiterEnvelope = envelope;

    for (size_t i = 0; i < n; ++i)
    {
        const double g = ceiling[i] / gain[i];
        gain[i] = g + (1.0 - g) * blend[i];
    }

    if (n > 0)
    {
        meters.limiterGain = gain[n - 1];
        meters.limiterGainHold = heldGain (meters.limiterGainHold, gain.data(), numSamples);
    }

    // The gain reaches each sample as it leaves the look-ahead, L − 1 samples after it came in;
    // the post delay makes the limiter's delay 1152 samples at every rate.
    const std::array<double*, numChannels> driven { driven0.data(), driven1.data() };
    const std::array<double*, numChannels> outputs { out0, out1 };

    for (size_t c = 0; c < numChannels; ++c)
    {
        double* samples = driven[c];
        limiterLookahead->writeReadBackBlock (static_cast<int> (c), samples, samples, length - 1, numSamples);

        for (size_t i = 0; i < n; ++i)
            samples[i] = samples[i] * gain[i] * outputGain[i];

        limiterPostDelay->pushAndReadBlock (static_cast<int> (c), samples, outputs[c], numSamples);
    }
}

} // namespace OSK
