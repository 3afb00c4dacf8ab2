#include "osk_dsp/KernelSynthesiser.h"

#include "osk_dsp/RealFft.h"

#include <cstddef>
#include <stdexcept>

namespace OSK::DSP
{
KernelSynthesiser::KernelSynthesiser() = default;

KernelSynthesiser::~KernelSynthesiser() = default;

void KernelSynthesiser::prepare (int newFftSize, int newKernelLength, int newCentre)
{
    if (newFftSize < 2 || (newFftSize & (newFftSize - 1)) != 0)
        throw std::invalid_argument ("KernelSynthesiser: the FFT size must be a power of two of at least 2");

    if (newKernelLength < 1 || newKernelLength > newFftSize || newCentre < 0 || newCentre >= newKernelLength)
        throw std::invalid_argument ("KernelSynthesiser: the kernel must fit the FFT and contain its centre");

    // A new plan only when the size changes: planning takes FFTW's global lock.
    if (fft == nullptr || fft->getSize() != newFftSize)
        fft = std::make_unique<RealFft> (newFftSize);

    fftSize = newFftSize;
    kernelLength = newKernelLength;
    centre = newCentre;

    spectrum.assign (static_cast<std::size_t> (fftSize / 2 + 1), {});
    impulse.assign (static_cast<std::size_t> (fftSize), 0.0);
}

void KernelSynthesiser::synthesise (const double* magnitudes, const double* window, double* kernel) noexcept
{
    const int half = fftSize / 2;
    std::complex<double>* bins = spectrum.data();

    // Real bins: the inverse FFT of the bare magnitudes is the zero-phase response, centred on
    // sample 0 and periodic in M. The bin at M/2 stays zero, as the tap-by-tap synthesis never
    // reads it, and a non-finite value there cannot leak in.
    for (int k = 0; k < half; ++k)
        bins[k] = { magnitudes[k], 0.0 };

    bins[half] = {};

    // FFTW's c2r transform gives x[m] = X_0 + 2·Σ Re (X_k·e^(i2πkm/M)) + X_{M/2}·(−1)^m, unscaled.
    fft->inverse (bins, impulse.data());

    // Tap n is sample (n − D) mod M of the period. Because D is a whole number of samples this
    // rotation is exact, where multiplying every bin by the delay's phase e^(−i2πkD/M) would add
    // a rounding per bin. M is a power of two, so the scale is exact too, and (x·scale)·w rounds
    // as the tap-by-tap idft (n)·w does.
    const double scale = 1.0 / double (fftSize);
    const double* before = impulse.data() + (fftSize - centre); // taps 0..D − 1: the end of the period
    const double* after = impulse.data();                       // taps D..N − 1: its start

    for (int n = 0; n < centre; ++n)
        kernel[n] = before[n] * scale * window[n];

    for (int n = centre; n < kernelLength; ++n)
        kernel[n] = after[n - centre] * scale * window[n];
}

} // namespace OSK::DSP
