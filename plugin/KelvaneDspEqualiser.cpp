// The equaliser's audio side: preparation, kernel synthesis and the per-sample processing of
// both channels in IIR and linear-phase FIR mode.

#include "plugin/KelvaneDsp.h"

#include "osk_dsp/BiquadSpectrum.h"
#include "osk_dsp/FirSample.h"

#include <algorithm>
#include <cmath>

namespace OSK
{
namespace
{
    constexpr double pi = 3.14159265358979323846;

    // The Dolph–Chebyshev window's side lobes sit 72 dB down: r = 10^(72/20), κ = 2 / r.
    constexpr double windowRipple = 3981.0717055349733;
    constexpr double windowScale = 0.0005023772863019159;

    constexpr int sectionsPerChannel = 5;
    constexpr int coefficientsPerChannel = 25;
} // namespace

void KelvaneDsp::prepareEqualiser()
{
    for (int c = 0; c < numChannels; ++c)
    {
        spectra[static_cast<size_t> (c)].resize (static_cast<size_t> (fftSize));
        synthesisSpectra[static_cast<size_t> (c)].resize (static_cast<size_t> (fftSize));
    }

    // A unit impulse at the centre tap is the FIR version of a flat setting.
    for (auto* kernels : { &activeKernel, &nextKernel })
        for (auto& kernel : *kernels)
        {
            kernel.fill (0.0);
            kernel[static_cast<size_t> (firCentre)] = 1.0;
        }

    computeKernelWindow();
}

void KelvaneDsp::computeKernelWindow()
{
    const int n = firLength;
    const int centre = firCentre;
    const double beta = std::cosh (std::acosh (windowRipple) / (n - 1));

    // Chebyshev polynomial values at the window's frequency samples.
    std::vector<double> chebyshev (static_cast<size_t> (centre + 1), 0.0);
    double chebyshevSum = 0.0;

    for (int k = 1; k <= centre; ++k)
    {
        const double x = beta * std::cos (pi * k / n);
        const double t = std::abs (x) <= 1.0 ? std::cos ((n - 1) * std::acos (x)) : std::cosh ((n - 1) * std::acosh (x));
        chebyshev[static_cast<size_t> (k)] = t;
        chebyshevSum += t;
    }

    // cos (2π·k·m / n) depends only on k·m modulo n: one table of n cosines serves every term.
    std::vector<double> cosines (static_cast<size_t> (n));

    for (int j = 0; j < n; ++j)
        cosines[static_cast<size_t> (j)] = std::cos (2.0 * pi * j / n);

    const double norm = 1.0 + windowScale * chebyshevSum;

    // The window is symmetric about the centre: compute one half, mirror the other.
    for (int m = 0; m <= centre; ++m)
    {
        double sum = 0.0;

        for (int k = 1; k <= centre; ++k)
            sum += chebyshev[static_cast<size_t> (k)] * cosines[static_cast<size_t> ((k * m) % n)];

        const double value = (1.0 + windowScale * sum) / norm;
        kernelWindow[static_cast<size_t> (centre + m)] = value;
        kernelWindow[static_cast<size_t> (centre - m)] = value;
    }
}

void KelvaneDsp::resetEqualiserState() noexcept
{
    // Both kernels are synthesised again from the current spectra; until then the active ones
    // stay as they are.
    for (int c = 0; c < numChannels; ++c)
    {
        const auto slot = static_cast<size_t> (c);
        eqFilterState[slot].fill (0.0);
        kernelUpdatePending[slot] = true;
        kernelSynthesising[slot] = false;
        kernelTapCounter[slot] = 0;
    }
}

void KelvaneDsp::processFIRUpdate() noexcept
{
    for (int c = 0; c < numChannels; ++c)
    {
        // A spectrum writer on another thread only ever delays this channel by one sample.
        std::unique_lock<std::mutex> lock (kernelLocks[static_cast<size_t> (c)], std::try_to_lock);

        if (lock.owns_lock())
            updateKernel (c);
    }
}

void KelvaneDsp::updateKernel (int c) noexcept
{
    const auto slot = static_cast<size_t> (c);

    if (! kernelSynthesising[slot])
    {
        if (! kernelUpdatePending[slot])
            return;

        // Start from a copy, so that refreshes during the synthesis do not leak into this kernel;
        // the newest one is picked up when this kernel is installed.
        std::copy (spectra[slot].begin(), spectra[slot].end(), synthesisSpectra[slot].begin());
        kernelUpdatePending[slot] = false;
        kernelSynthesising[slot] = true;
        kernelTapCounter[slot] = 0;
    }

    const int n = kernelTapCounter[slot];
    nextKernel[slot][static_cast<size_t> (n)] = DSP::idft (synthesisSpectra[slot], n) * kernelWindow[static_cast<size_t> (n)];
    kernelTapCounter[slot] = std::min (n + 1, firLength);

    if (n + 1 >= firLength)
    {
        // The whole kernel switches at once: a half-new kernel would not be linear-phase.
        std::copy (nextKernel[slot].begin(), nextKernel[slot].begin() + firLength, activeKernel[slot].begin());
        kernelSynthesising[slot] = false;
        kernelTapCounter[slot] = 0;
    }
}

void KelvaneDsp::processEQ (const double* in, double* out) noexcept
{
    std::array<double, numChannels> fir {};

    for (int c = 0; c < numChannels; ++c)
    {
        const double delayed = eqPreDelay->pushAndRead (c, in[c]);
        firHistory->writeAtHead (c, delayed);
        fir[static_cast<size_t> (c)] = delayed;
    }

    // The convolution only runs while FIR mode is targeted or its crossfade weight still counts.
    if (targetValues[eqMode] == 1.0 || currentValues[eqMode] > 0.000001)
        for (int c = 0; c < numChannels; ++c)
            fir[static_cast<size_t> (c)] = DSP::firSample (activeKernel[static_cast<size_t> (c)].data(), firHistory->window (c), firLength);

    for (int c = 0; c < numChannels; ++c)
    {
        // The IIR path reads its input from the centre of the FIR history, so both paths share
        // one delay and switching modes never changes timing.
        double x = firHistory->readBack (c, firCentre);
        const double* coefficients = currentValues.data() + midBiquads + coefficientsPerChannel * c;
        auto& state = eqFilterState[static_cast<size_t> (c)];

        for (int section = 0; section < sectionsPerChannel; ++section)
        {
            const double* k = coefficients + 5 * section;
            double& s1 = state[static_cast<size_t> (2 * section)];
            double& s2 = state[static_cast<size_t> (2 * section + 1)];

            // Transposed direct form II; k holds b0, b1, a1, b2, a2.
            const double y = k[0] * x + s1;
            s1 = k[1] * x - k[2] * y + s2;
            s2 = k[3] * x - k[4] * y;
            x = y;
        }

        const double iir = x;
        const double mix = (fir[static_cast<size_t> (c)] - iir) * currentValues[eqMode] + iir;
        out[c] = mix * currentValues[static_cast<size_t> (midGain + c)];
    }

    firHistory->advance();
}

} // namespace OSK
