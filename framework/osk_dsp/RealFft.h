#pragma once

#include <complex>

namespace OSK::DSP
{
/** A real FFT of one power-of-two size, planned with FFTW when it is created.

    Creating and destroying one plans and frees memory: do it outside the audio thread. forward
    and inverse then run on the object's own aligned buffers and allocate nothing, so they are
    safe on the audio thread. Neither scales: inverse (forward (x)) is size · x.
*/
class RealFft
{
public:
    explicit RealFft (int size);
    ~RealFft();

    RealFft (const RealFft&) = delete;
    RealFft& operator= (const RealFft&) = delete;

    [[nodiscard]] int getSize() const noexcept { return size; }

    /** The size / 2 + 1 bins of the spectrum of size real samples. */
    void forward (const double* time, std::complex<double>* spectrum) noexcept;

    /** The size real samples whose spectrum's first size / 2 + 1 bins are given. The imaginary
        parts of bin 0 and bin size / 2 are ignored, as a real signal's spectrum has none. */
    void inverse (const std::complex<double>* spectrum, double* time) noexcept;

private:
    int size;
    double* timeBuffer = nullptr;
    std::complex<double>* spectrumBuffer = nullptr;
    void* forwardPlan = nullptr;
    void* inversePlan = nullptr;
};

} // namespace OSK::DSP
