#include "osk_dsp/CircularBuffer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using OSK::DSP::CircularBuffer;

namespace
{
std::unique_ptr<CircularBuffer> makeBuffer (int channels, int length)
{
    auto buffer = std::make_unique<CircularBuffer>();
    return CircularBuffer::realloc (buffer, channels, length);
}
} // namespace

TEST (CircularBuffer, PushAndReadDelaysByExactlyItsLength)
{
    for (const int length : { 1, 2, 7, 2689 })
    {
        auto buffer = makeBuffer (2, length);
        std::vector<double> out;

        for (int i = 0; i < 3 * length + 5; ++i)
        {
            out.push_back (buffer->pushAndRead (1, i + 1.0));
            buffer->pushAndRead (0, -1.0); // the other channel runs independently
        }

        for (int i = 0; i < static_cast<int> (out.size()); ++i)
            ASSERT_EQ (out[static_cast<size_t> (i)], i < length ? 0.0 : i + 1.0 - length) << "length " << length << ", push " << i;
    }
}

TEST (CircularBuffer, ClearEmptiesTheHistory)
{
    auto buffer = makeBuffer (1, 3);

    for (int i = 0; i < 5; ++i)
        buffer->pushAndRead (0, 9.0);

    buffer->clear();

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (buffer->pushAndRead (0, i + 1.0), 0.0);

    EXPECT_EQ (buffer->pushAndRead (0, 4.0), 1.0);
}

TEST (CircularBuffer, WindowReadsTheLastSamplesAcrossTheWrap)
{
    constexpr int length = 5;
    auto buffer = makeBuffer (2, length);

    // Write at head, read the window, advance: on every step, including those right after the
    // write position wrapped, read back k gives the sample written k steps ago.
    for (int step = 0; step < 4 * length; ++step)
    {
        buffer->writeAtHead (0, step);
        buffer->writeAtHead (1, -step);

        const auto* window = buffer->window (0);

        for (int k = 0; k < length; ++k)
        {
            const double expected = step - k >= 0 ? step - k : 0.0;
            ASSERT_EQ (buffer->readBack (0, k), expected) << "step " << step << ", k " << k;
            ASSERT_EQ (buffer->readBack (1, k), -expected);
            ASSERT_EQ (window[length - 1 - k], expected);
        }

        buffer->advance();

        const double oldest = step - (length - 1) >= 0 ? step - (length - 1) : 0.0;
        ASSERT_EQ (buffer->readOldest (0), oldest) << "step " << step;
    }
}

TEST (CircularBuffer, ReallocKeepsOneOlderGeneration)
{
    auto buffer = std::make_unique<CircularBuffer>();
    const auto* empty = buffer.get();
    EXPECT_EQ (buffer->getNumChannels(), 0);
    EXPECT_EQ (buffer->getLength(), 0);

    buffer = CircularBuffer::realloc (buffer, 2, 4);
    const auto* second = buffer.get();
    EXPECT_EQ (buffer->getPrevious(), empty);
    EXPECT_EQ (buffer->getNumChannels(), 2);
    EXPECT_EQ (buffer->getLength(), 4);

    // The generation before the one in use is freed: only the replaced buffer stays alive.
    buffer = CircularBuffer::realloc (buffer, 2, 8);
    EXPECT_EQ (buffer->getPrevious(), second);
    EXPECT_EQ (buffer->getPrevious()->getPrevious(), nullptr);

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (buffer->pushAndRead (1, 1.0), 0.0); // zero-filled
}

TEST (CircularBuffer, FailedReallocLeavesTheCallerItsBuffer)
{
    auto buffer = makeBuffer (1, 2);
    const auto* original = buffer.get();

    EXPECT_THROW ((void) CircularBuffer::realloc (buffer, 1, -1), std::bad_alloc);
    EXPECT_EQ (buffer.get(), original);
    EXPECT_EQ (buffer->pushAndRead (0, 3.0), 0.0);
}
