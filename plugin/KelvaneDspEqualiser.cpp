// The equaliser's audio side: preparation, kernel synthesis and the per-sample processing of
// both channels in IIR and linear-phase FIR mode.

#include "plugin/KelvaneDsp.h"


#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
 #include <emmintrin.h>
#endif

namespace OSK
{
namespace
{
    constexpr double pi = 3.14159265358979323846;

    // The Dolph–Chebyshev window's side lobes sit 72 dB down: r = 10^(72/20), κ = 2 / r.
    constexpr double windowRipple = 3981.0717055349733;
    constexpr double windowScale = 0.0005023772863019159;

    constexpr size_t sectionsPerChannel = 5;
    constexpr int coefficientsPerChannel = 25;
} // namespace

void KelvaneDsp::prepareEqualiser()
{
    for (auto& magnitudes : cascadeMagnitudes)
        magnitudes.prepare (fftSize, sampleRate);

    kernelSynthesiser.prepare (fftSize, firLength, firCentre);

    for (auto& convolver : convolvers)
        convolver.prepare (firLength);

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
        convolvers[slot].reset();
        convolvers[slot].setKernel (activeKernel[slot].data(), firLength);
    }

    convolversRunning = false;
}

void KelvaneDsp::processFIRUpdate() noexcept
{
    for (int c = 0; c < numChannels; ++c)
        updateKernel (c);
}

void KelvaneDsp::updateKernel (int c) noexcept
{
    const auto slot = static_cast<size_t> (c);

    if (! kernelSynthesising[slot])
    {
        if (! kernelUpdatePending[slot].load (std::memory_order_acquire))
            return;

        // A spectrum writer on another thread holds the lock only briefly: this channel's
        // synthesis then starts one sample later, and the audio thread never waits.
        std::unique_lock<std::mutex> lock (kernelLocks[slot], std::try_to_lock);

        if (! lock.owns_lock())
            return;

        // The whole kernel comes from the magnitudes as they are now; refreshes during the
        // next N samples wait for the next kernel, so no kernel mixes two responses.
        kernelSynthesiser.synthesise (cascadeMagnitudes[slot].getMagnitudes(), kernelWindow.data(), nextKernel[slot].data());
        convolvers[slot].beginKernel (nextKernel[slot].data(), firLength);
        kernelUpdatePending[slot] = false;
        kernelSynthesising[slot] = true;
        kernelTapCounter[slot] = 0;
    }

    // A kernel still takes over N samples after its synthesis started, as when it was built
    // one tap per sample. Only this thread touches the kernels and the counter. Meanwhile the
    // convolver works out the new kernel's spectra a block at a time, so no single audio block
    // carries that work.
    const int n = kernelTapCounter[slot];
    convolvers[slot].prepareKernelStep();
    kernelTapCounter[slot] = std::min (n + 1, firLength);

    if (n + 1 >= firLength)
    {
        // The whole kernel switches at once: a half-new kernel would not be linear-phase.
        std::copy (nextKernel[slot].begin(), nextKernel[slot].begin() + firLength, activeKernel[slot].begin());
        convolvers[slot].commitKernel();
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
    // When it starts again, the convolvers catch up from the history, which is fed in both
    // modes, so the first FIR output is already complete.
    if (targetValues[eqMode] == 1.0 || currentValues[eqMode] > 0.000001)
    {
        for (int c = 0; c < numChannels; ++c)
        {
            auto& convolver = convolvers[static_cast<size_t> (c)];

            if (! convolversRunning)
                convolver.restartFromHistory (firHistory->window (c), firLength - 1);

            fir[static_cast<size_t> (c)] = convolver.process (fir[static_cast<size_t> (c)]);
        }

        convolversRunning = true;
    }
    else
    {
        convolversRunning = false;
    }

    for (int c = 0; c < numChannels; ++c)
    {
        // The IIR path reads its input from the centre of the FIR history, so both paths share
        // one delay and switching modes never changes timing.
        double x = firHistory->readBack (c, firCentre);
        const double* coefficients = currentValues.data() + midBiquads + coefficientsPerChannel * c;
        auto& state = eqFilterState[static_cast<size_t> (c)];

        for (size_t section = 0; section < sectionsPerChannel; ++section)
        {
            const double* k = coefficients + 5 * section;
            double& s1 = state[2 * section];
            double& s2 = state[2 * section + 1];

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

void KelvaneDsp::runIirSections (double* channel0, double* channel1, int numSamples) noexcept
{
    // Transposed direct form II, sample by sample through the five sections, both channels side
    // by side: the ten sections' recurrences run in parallel instead of one after the other.
    // With SSE2 (every x86-64 has it) the two channels share one register; each lane does the
    // same operations in the same order as plain doubles would, so the results are identical.
    const auto n = static_cast<size_t> (numSamples);
    const double* k0 = currentValues.data() + midBiquads;
    const double* k1 = k0 + coefficientsPerChannel;
    auto& state0 = eqFilterState[0];
    auto& state1 = eqFilterState[1];

#if defined(__SSE2__)
    __m128d k[25];
    __m128d state[10];

    for (size_t j = 0; j < 25; ++j)
        k[j] = _mm_set_pd (k1[j], k0[j]);

    for (size_t j = 0; j < 10; ++j)
        state[j] = _mm_set_pd (state1[j], state0[j]);

    for (size_t i = 0; i < n; ++i)
    {
        __m128d x = _mm_set_pd (channel1[i], channel0[i]);

        for (size_t section = 0; section < sectionsPerChannel; ++section)
        {
            const __m128d* q = k + 5 * section;
            __m128d& s1 = state[2 * section];
            __m128d& s2 = state[2 * section + 1];
            const __m128d y = _mm_add_pd (_mm_mul_pd (q[0], x), s1);
            s1 = _mm_add_pd (_mm_sub_pd (_mm_mul_pd (q[1], x), _mm_mul_pd (q[2], y)), s2);
            s2 = _mm_sub_pd (_mm_mul_pd (q[3], x), _mm_mul_pd (q[4], y));
            x = y;
        }

        _mm_storel_pd (channel0 + i, x);
        _mm_storeh_pd (channel1 + i, x);
    }

    for (size_t j = 0; j < 10; ++j)
    {
        _mm_storel_pd (&state0[j], state[j]);
        _mm_storeh_pd (&state1[j], state[j]);
    }
#else
    const std::array<double*, numChannels> channels { channel0, channel1 };
    const std::array<const double*, numChannels> coefficients { k0, k1 };

    for (size_t i = 0; i < n; ++i)
        for (size_t c = 0; c < numChannels; ++c)
        {
            double x = channels[c][i];
            auto& state = eqFilterState[c];

            for (size_t section = 0; section < sectionsPerChannel; ++section)
            {
                const double* q = coefficients[c] + 5 * section;
                double& s1 = state[2 * section];
                double& s2 = state[2 * section + 1];
                const double y = q[0] * x + s1;
                s1 = q[1] * x - q[2] * y + s2;
                s2 = q[3] * x - q[4] * y;
                x = y;
            }

            channels[c][i] = x;
        }
#endif
}

void KelvaneDsp::equaliseSteadyChunk (int numSamples) noexcept
{
    // The same steps as processEQ with the matrices, sample for sample and in the same order,
    // while no equaliser value glides: each step then runs over the chunk at once.
    const auto n = static_cast<size_t> (numSamples);
    const auto& w = currentValues;
    auto& y0 = chunk.signal[0];
    auto& y1 = chunk.signal[1];
    auto& p0 = chunk.equaliser[0];
    auto& p1 = chunk.equaliser[1];
    const std::array<double*, numChannels> delayed { p0.data(), p1.data() };
    const std::array<double*, numChannels> fir { chunk.equaliser[2].data(), chunk.equaliser[3].data() };
    const std::array<double*, numChannels> iir { chunk.equaliser[4].data(), chunk.equaliser[5].data() };

    for (size_t i = 0; i < n; ++i)
    {
        p0[i] = w[inMatrix] * y0[i] + w[inMatrix + 1] * y1[i];
        p1[i] = w[inMatrix + 2] * y0[i] + w[inMatrix + 3] * y1[i];
    }

    for (int c = 0; c < numChannels; ++c)
        eqPreDelay->pushAndReadBlock (c, delayed[static_cast<size_t> (c)], delayed[static_cast<size_t> (c)], numSamples);

    if (targetValues[eqMode] == 1.0 || currentValues[eqMode] > 0.000001)
    {
        if (! convolversRunning)
            for (int c = 0; c < numChannels; ++c)
                convolvers[static_cast<size_t> (c)].restartFromHistory (firHistory->windowBeforeHead (c) + 1, firLength - 1);

        convolversRunning = true;

        for (size_t i = 0; i < n; ++i)
        {
            processFIRUpdate();
            fir[0][i] = convolvers[0].process (p0[i]);
            fir[1][i] = convolvers[1].process (p1[i]);
        }
    }
    else
    {
        convolversRunning = false;

        for (size_t i = 0; i < n; ++i)
        {
            processFIRUpdate();
            fir[0][i] = p0[i];
            fir[1][i] = p1[i];
        }
    }

    for (int c = 0; c < numChannels; ++c)
        firHistory->writeReadBackBlock (c, delayed[static_cast<size_t> (c)], iir[static_cast<size_t> (c)], firCentre, numSamples);

    runIirSections (iir[0], iir[1], numSamples);

    for (size_t c = 0; c < numChannels; ++c)
    {
        const double gain = w[midGain + c];

        for (size_t i = 0; i < n; ++i)
            fir[c][i] = ((fir[c][i] - iir[c][i]) * w[eqMode] + iir[c][i]) * gain;
    }

    for (size_t i = 0; i < n; ++i)
    {
        const double e0 = fir[0][i], e1 = fir[1][i];
        y0[i] = w[outMatrix] * e0 + w[outMatrix + 1] * e1;
        y1[i] = w[outMatrix + 2] * e0 + w[outMatrix + 3] * e1;
    }
}

} // namespace OSK
