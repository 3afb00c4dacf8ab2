#include "osk_dsp/CircularBuffer.h"

#include <algorithm>
#include <new>

namespace OSK::DSP
{
CircularBuffer::CircularBuffer (int channels, int samples)
    : numChannels (channels)
    , length (samples)
    , data (static_cast<size_t> (channels), std::vector<double> (2 * static_cast<size_t> (samples), 0.0))
    , writeIndex (static_cast<size_t> (channels), 0)
{
}

CircularBuffer::~CircularBuffer() = default;

std::unique_ptr<CircularBuffer> CircularBuffer::realloc (std::unique_ptr<CircularBuffer>& current, int numChannels,
                                                         int length)
{
    // At most two generations live at a time: the one in use and the one it replaced.
    if (current != nullptr)
        current->previous.reset();

    // A negative size must fail like an allocation does, before anything is handed over.
    if (numChannels < 0 || length < 0)
        throw std::bad_alloc();

    std::unique_ptr<CircularBuffer> fresh (new CircularBuffer (numChannels, length));
    fresh->previous = std::move (current);
    return fresh;
}

void CircularBuffer::clear() noexcept
{
    for (auto& channel : data)
        std::fill (channel.begin(), channel.end(), 0.0);

    std::fill (writeIndex.begin(), writeIndex.end(), 0);
}

} // namespace OSK::DSP
