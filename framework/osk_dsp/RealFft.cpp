#include "osk_dsp/RealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <mutex>
#include <new>

namespace OSK::DSP
{
namespace
{
    /** FFTW's planner is not reentrant; plug-in instances may be prepared on several threads. */
    std::mutex& plannerLock()
    {
        static std::mutex lock;
        return lock;
    }
} // namespace

RealFft::RealFft (int fftSize) : size (fftSize)
{
    const std::lock_guard<std::mutex> lock (plannerLock());

    timeBuffer = fftw_alloc_real (static_cast<size_t> (size));
    spectrumBuffer = reinterpret_cast<std::complex<double>*> (fftw_alloc_complex (static_cast<size_t> (size / 2 + 1)));

    if (timeBuffer == nullptr || spectrumBuffer == nullptr)
    {
        fftw_free (timeBuffer);
        fftw_free (spectrumBuffer);
        throw std::bad_alloc();
    }

    // Estimated plans cost microseconds to make; measured ones would stall a host's preparation.
    auto* fftwSpectrum = reinterpret_cast<fftw_complex*> (spectrumBuffer);
    forwardPlan = fftw_plan_dft_r2c_1d (size, timeBuffer, fftwSpectrum, FFTW_ESTIMATE);
    inversePlan = fftw_plan_dft_c2r_1d (size, fftwSpectrum, timeBuffer, FFTW_ESTIMATE);
}

RealFft::~RealFft()
{
    const std::lock_guard<std::mutex> lock (plannerLock());
    fftw_destroy_plan (static_cast<fftw_plan> (forwardPlan));
    fftw_destroy_plan (static_cast<fftw_plan> (inversePlan));
    fftw_free (timeBuffer);
    fftw_free (spectrumBuffer);
}

void RealFft::forward (const double* time, std::complex<double>* spectrum) noexcept
{
    std::copy (time, time + size, timeBuffer);
    fftw_execute (static_cast<fftw_plan> (forwardPlan));
    std::copy (spectrumBuffer, spectrumBuffer + size / 2 + 1, spectrum);
}

void RealFft::inverse (const std::complex<double>* spectrum, double* time) noexcept
{
    // The inverse transform overwrites its input, so it always works on the object's own copy.
    std::copy (spectrum, spectrum + size / 2 + 1, spectrumBuffer);
    spectrumBuffer[0].imag (0.0);
    spectrumBuffer[size / 2].imag (0.0);
    fftw_execute (static_cast<fftw_plan> (inversePlan));
    std::copy (timeBuffer, timeBuffer + size, time);
}

} // namespace OSK::DSP
