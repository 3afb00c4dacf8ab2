#include "osk_dsp/FirSample.h"

namespace OSK::DSP
{
double firSample (const double* kernel, const double* history, int length) noexcept
{
    const double* newest = history + length - 1;
    double sum = 0.0;

    for (int i = 0; i < length; ++i)
        sum += kernel[i] * newest[-i];

    return sum;
}

} // namespace OSK::DSP
