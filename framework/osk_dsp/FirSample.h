#pragma once

namespace OSK::DSP
{
/** One output sample of an FIR filter: the sum of kernel[i] times the input i samples ago, for
    i = 0 .. length − 1, summed in that order. `history` holds the last `length` inputs oldest
    first, as a delay line's window does. Audio thread; allocates nothing. */
[[nodiscard]] double firSample (const double* kernel, const double* history, int length) noexcept;

} // namespace OSK::DSP
