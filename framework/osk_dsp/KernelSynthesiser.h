#pragma once

#include <complex>
#include <memory>
#include <vector>

namespace OSK::DSP
{
class RealFft;

/** Turns a magnitude response into a whole windowed linear-phase FIR kernel with one real inverse FFT.

    For magnitudes |H_k| (k = 0..M/2) and a window w of N taps centred on tap D it writes

        kernel[n] = w[n] · (1/M) · (|H_0| + 2·Σ_{k=1}^{M/2−1} |H_k|·cos (2πk·(n − D)/M)),   n = 0..N − 1,

    which is what idft() gives, tap by tap, for the spectrum that biquadCascadeToSpectrum writes
    with delay D: the magnitude's zero-phase response centred on tap D. As there, the bin at M/2
    counts as zero, whatever magnitudes[M/2] holds.

    prepare() allocates and plans the FFT: call it on the message thread or during preparation.
    synthesise() allocates nothing and runs on the audio thread, with the caller guarding the
    object against concurrent use.
*/
class KernelSynthesiser
{
public:
    /** An unprepared synthesiser; prepare it before synthesising. */
    KernelSynthesiser();
    ~KernelSynthesiser();

    KernelSynthesiser (const KernelSynthesiser&) = delete;
    KernelSynthesiser& operator= (const KernelSynthesiser&) = delete;

    /** Sizes for an FFT of fftSize (a power of two, at least 2), kernels of kernelLength ≤ fftSize taps and the
        centre tap centre < kernelLength, and plans the FFT; message thread. */
    void prepare (int fftSize, int kernelLength, int centre);

    /** Writes the kernelLength taps of the windowed kernel of magnitudes (M/2 + 1 values) and window
        (kernelLength values) into kernel; audio thread. */
    void synthesise (const double* magnitudes, const double* window, double* kernel) noexcept;

    /** The FFT size M it was prepared for; any thread. */
    [[nodiscard]] int getFftSize() const noexcept { return fftSize; }

    /** The kernel length N it was prepared for; any thread. */
    [[nodiscard]] int getKernelLength() const noexcept { return kernelLength; }

    /** The centre tap D it was prepared for; any thread. */
    [[nodiscard]] int getCentre() const noexcept { return centre; }

private:
    int fftSize = 0;
    int kernelLength = 0;
    int centre = 0;

    std::unique_ptr<RealFft> fft;
    std::vector<std::complex<double>> spectrum; // M/2 + 1 bins
    std::vector<double> impulse;                // M samples of the zero-phase response
};

} // namespace OSK::DSP
