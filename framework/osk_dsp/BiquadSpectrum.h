#pragma once

#include <complex>
#include <vector>

namespace OSK
{
namespace DSP
{

/** Overwrites each bin k (at k·fs/M) with the cascade's magnitude on the linear phase of delay samples; allocation-free, any thread that guards spectrum. */
void biquadCascadeToSpectrum (const double* coefficients, int sections,
                              std::vector<std::complex<double>>& spectrum,
                              double sampleRate, double delay) noexcept;

/** Returns sample n of the real inverse DFT of a power-of-two spectrum (bins below M/2); audio thread, allocating only on a size's first call. */
double idft (const std::vector<std::complex<double>>& spectrum, int n);

} // namespace DSP
} // namespace OSK
