#pragma once

#include <cstddef>
#include <vector>

namespace OSK::DSP
{
/** The largest of the last `length` values pushed, found in constant amortised time: a queue of
    the values that can still become the largest, in falling order. Pushing and resetting run on
    the audio thread without allocation once prepared. */
class SlidingWindowMax
{
public:
    /** Sizes the queue for windows up to maximumLength values (preparation only). */
    void prepare (int maximumLength);

    /** Empties the window and sets its length, at most the prepared one. */
    void reset (int windowLength) noexcept;

    /** Adds a value and returns the largest of the last `length` values, this one included. */
    double push (double value) noexcept
    {
        // Values no larger than the new one can never be the largest again.
        while (size > 0 && values[back()] <= value)
            --size;

        const auto slot = (front + size) & mask;
        values[slot] = value;
        positions[slot] = count;
        ++size;

        // The front leaves once it is older than the window.
        if (positions[front] <= count - length)
        {
            front = (front + 1) & mask;
            --size;
        }

        ++count;
        return values[front];
    }

private:
    [[nodiscard]] std::size_t back() const noexcept { return (front + size - 1) & mask; }

    std::vector<double> values;
    std::vector<long long> positions;
    /** The queue's capacity less one; the capacity is a power of two, so wrapping is a mask. */
    std::size_t mask = 0;
    std::size_t front = 0;
    std::size_t size = 0;
    long long length = 1;
    long long count = 0;
};

} // namespace OSK::DSP
