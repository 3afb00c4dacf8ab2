#include "ReferenceKelvaneDsp.h"

#include "osk_dsp/BiquadSpectrum.h"

#include <algorithm>
#include <cmath>

namespace KelvaneTest
{
namespace
{
    constexpr double floor52 = 2.220446049250313e-16;

    double knee (double delta) { return 2.0 * std::log (1.0 + std::exp (delta / 2.0)); }

    double sanitised (double x) { return std::isfinite (x) ? std::clamp (x, -1.0e6, 1.0e6) : 0.0; }
} // namespace

void ReferenceKelvaneDsp::prepareToPlay (double newSampleRate, int maximumBlockSize, int numIns, int numOuts)
{
    OSK::KelvaneDsp::prepareToPlay (newSampleRate, maximumBlockSize, numIns, numOuts);
    referencePending.fill (false);
    referenceSynthesising.fill (false);
    referenceTap.fill (0);
}

void ReferenceKelvaneDsp::takeOverSpectrumRefreshes()
{
    // The parameter side marks a channel whose bands changed; the reference makes its own
    // complex spectrum from the same section targets.
    for (int c = 0; c < numChannels; ++c)
    {
        const auto slot = static_cast<size_t> (c);

        if (! kernelUpdatePending[slot])
            continue;

        kernelUpdatePending[slot] = false;
        referenceSpectra[slot].resize (static_cast<size_t> (fftSize));
        OSK::DSP::biquadCascadeToSpectrum (targetValues.data() + midBiquads + 25 * c, 5, referenceSpectra[slot], sampleRate,
                                           static_cast<double> (firCentre));
        referencePending[slot] = true;
    }
}

void ReferenceKelvaneDsp::updateKernelsOneTap()
{
    for (int c = 0; c < numChannels; ++c)
    {
        const auto slot = static_cast<size_t> (c);

        if (! referenceSynthesising[slot])
        {
            if (! referencePending[slot])
                continue;

            referenceSynthesisSpectra[slot] = referenceSpectra[slot];
            referencePending[slot] = false;
            referenceSynthesising[slot] = true;
            referenceTap[slot] = 0;
        }

        const int n = referenceTap[slot];
        nextKernel[slot][static_cast<size_t> (n)] = OSK::DSP::idft (referenceSynthesisSpectra[slot], n) * kernelWindow[static_cast<size_t> (n)];
        referenceTap[slot] = n + 1;

        if (n + 1 >= firLength)
        {
            std::copy (nextKernel[slot].begin(), nextKernel[slot].begin() + firLength, activeKernel[slot].begin());
            referenceSynthesising[slot] = false;
        }
    }
}

void ReferenceKelvaneDsp::equalise (const double* in, double* out)
{
    double fir[2];

    for (int c = 0; c < numChannels; ++c)
    {
        const double delayed = eqPreDelay->pushAndRead (c, in[c]);
        firHistory->writeAtHead (c, delayed);
        fir[c] = delayed;
    }

    if (targetValues[eqMode] == 1.0 || currentValues[eqMode] > 0.000001)
        for (int c = 0; c < numChannels; ++c)
        {
            double sum = 0.0;

            for (int i = 0; i < firLength; ++i)
                sum += activeKernel[static_cast<size_t> (c)][static_cast<size_t> (i)] * firHistory->readBack (c, i);

            fir[c] = sum;
        }

    for (int c = 0; c < numChannels; ++c)
    {
        double x = firHistory->readBack (c, firCentre);
        auto& state = eqFilterState[static_cast<size_t> (c)];

        for (int s = 0; s < 5; ++s)
        {
            const double* k = currentValues.data() + midBiquads + 25 * c + 5 * s;
            const double y = k[0] * x + state[static_cast<size_t> (2 * s)];
            state[static_cast<size_t> (2 * s)] = k[1] * x - k[2] * y + state[static_cast<size_t> (2 * s + 1)];
            state[static_cast<size_t> (2 * s + 1)] = k[3] * x - k[4] * y;
            x = y;
        }

        out[c] = ((fir[c] - x) * currentValues[eqMode] + x) * currentValues[static_cast<size_t> (midGain + c)];
    }

    firHistory->advance();
}

void ReferenceKelvaneDsp::limit (const double* in, double* out)
{
    const double h = currentValues[limiterCeiling];
    const bool bypassed = targetValues[limiterBypass] > 0.5;
    const double drive = bypassed ? 1.0 : currentValues[limiterInputGain];
    const int length = lookaheadSamples;

    for (int c = 0; c < numChannels; ++c)
        limiterLookahead->writeAtHead (c, in[c] * drive);

    double m = h;

    for (int c = 0; c < numChannels; ++c)
        for (int k = 0; k < length; ++k)
            m = std::max (m, std::abs (limiterLookahead->readBack (c, k)));

    limiterPeakHistory->writeAtHead (0, m);
    double sum = 0.0;

    for (int k = 0; k < length; ++k)
        sum += limiterPeakHistory->readBack (0, k);

    limiterPeakHistory->advance();
    const double average = sum / length;
    limiterEnvelope = std::max (average, limiterEnvelope + (average - limiterEnvelope) * limiterRelease);

    const double gain = h / limiterEnvelope;
    const double blended = gain + (1.0 - gain) * currentValues[limiterBypass];
    const double outputGain = bypassed ? 1.0 : currentValues[limiterOutputGain];
    limiterLookahead->advance();

    for (int c = 0; c < numChannels; ++c)
        out[c] = limiterPostDelay->pushAndRead (c, limiterLookahead->readOldest (c) * blended * outputGain);
}

double ReferenceKelvaneDsp::expanderGain (const double* x)
{
    const double p = std::max (std::abs (x[0]), std::abs (x[1]));
    expanderEnvelope += (p - expanderEnvelope) * (p > expanderEnvelope ? expanderAttack : expanderRelease);
    const double level = 20.0 * std::log10 (std::max (expanderEnvelope, floor52));
    const double gain = std::pow (10.0, -currentValues[expanderRatio] * knee (currentValues[expanderThreshold] - level) / 20.0);
    return gain + (1.0 - gain) * currentValues[expanderBypass];
}

double ReferenceKelvaneDsp::compressorGain (const double* z)
{
    const double p = std::max (std::abs (z[0]), std::abs (z[1]));
    compressorEnvelope += (p - compressorEnvelope) * (p > compressorEnvelope ? compressorAttack : compressorRelease);
    const double level = 20.0 * std::log10 (std::max (compressorEnvelope, floor52));
    const double gain = std::pow (10.0, currentValues[compressorSlope] * knee (level - currentValues[compressorThreshold]) / 20.0);
    const double g = gain * currentValues[compressorMakeup];
    return g + (1.0 - g) * currentValues[compressorBypass];
}

template <typename Sample>
void ReferenceKelvaneDsp::process (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept
{
    takeOverSpectrumRefreshes();
    const auto& w = currentValues;

    for (int i = 0; i < numSamples; ++i)
    {
        updateKernelsOneTap();

        for (size_t k = 0; k < numWorkingValues; ++k)
            currentValues[k] += (targetValues[k] - currentValues[k]) * smoothingCoefficient;

        const double x[] = { sanitised (static_cast<double> (inputs[0][i])), sanitised (static_cast<double> (inputs[1][i])) };
        const double d[] = { dryDelay->pushAndRead (0, x[0]), dryDelay->pushAndRead (1, x[1]) };

        const double ge = expanderGain (x);
        const double y[] = { x[0] * ge, x[1] * ge };
        const double m[] = { w[2] * y[0] + w[3] * y[1], w[4] * y[0] + w[5] * y[1] };
        double e[2];
        equalise (m, e);
        const double z[] = { w[6] * e[0] + w[7] * e[1], w[8] * e[0] + w[9] * e[1] };
        const double gc = compressorGain (z);
        const double u[] = { z[0] * gc, z[1] * gc };
        double l[2];
        limit (u, l);

        for (int c = 0; c < numChannels; ++c)
            outputs[c][i] = static_cast<Sample> (d[c] + (l[c] - d[c]) * w[0]);
    }
}

void ReferenceKelvaneDsp::processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept
{
    process (numSamples, inputs, outputs);
}

void ReferenceKelvaneDsp::processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept
{
    process (numSamples, inputs, outputs);
}

} // namespace KelvaneTest
