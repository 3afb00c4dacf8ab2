#include "osk_dsp/SlidingWindowMax.h"

namespace OSK::DSP
{
void SlidingWindowMax::prepare (int maximumLength)
{
    std::size_t capacity = 1;

    while (capacity < static_cast<std::size_t> (maximumLength) + 1)
        capacity *= 2;

    mask = capacity - 1;
    values.assign (capacity, 0.0);
    positions.assign (capacity, 0);
    reset (maximumLength);
}

void SlidingWindowMax::reset (int windowLength) noexcept
{
    length = windowLength;
    front = 0;
    size = 0;
    count = 0;
}

} // namespace OSK::DSP
