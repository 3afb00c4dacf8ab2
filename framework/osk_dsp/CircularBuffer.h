#pragma once

#include <memory>
#include <vector>

namespace OSK::DSP
{
/** A multi-channel delay line that stores every sample twice.

    Each channel holds 2·N samples with positions p and p + N always equal, so the N most recent
    samples of a channel lie contiguous in memory, oldest first: a whole window can be read as one
    run without wrap-around arithmetic. Resizing never frees the buffer in use: realloc returns a
    new generation that keeps the old one alive until the next resize.

    Sample operations need N ≥ 1 and a valid channel; they run on the audio thread and never
    allocate.
*/
class CircularBuffer
{
public:
    /** An empty buffer: no channels, length 0. */
    CircularBuffer() = default;
    ~CircularBuffer();

    /** Returns a new zero-filled buffer of the given size that owns `current` as its previous
        generation. Frees the generation before `current` first. If the allocation throws,
        `current` keeps its buffer (message thread or preparation only). */
    [[nodiscard]] static std::unique_ptr<CircularBuffer> realloc (std::unique_ptr<CircularBuffer>& current,
                                                                  int numChannels, int length);

    /** Sets every sample and every write position to zero. */
    void clear() noexcept;

    /** Delays by exactly N samples: returns the sample pushed N pushes ago and stores x. */
    double pushAndRead (int channel, double x) noexcept
    {
        auto* samples = data[static_cast<size_t> (channel)].data();
        auto& i = writeIndex[static_cast<size_t> (channel)];
        const auto y = samples[i + length];
        samples[i + length] = x;
        samples[i] = x;

        if (++i == length)
            i = 0;

        return y;
    }

    /** Stores x as the newest sample without advancing. */
    void writeAtHead (int channel, double x) noexcept
    {
        auto* samples = data[static_cast<size_t> (channel)].data();
        const auto i = writeIndex[static_cast<size_t> (channel)];
        samples[i + length] = x;
        samples[i] = x;
    }

    /** The sample k steps back from the head; after writeAtHead, 0 is the newest and N − 1 the oldest. */
    [[nodiscard]] double readBack (int channel, int k) const noexcept
    {
        return data[static_cast<size_t> (channel)][static_cast<size_t> (writeIndex[static_cast<size_t> (channel)] + length - k)];
    }

    /** The last N samples of a channel, oldest first, after writeAtHead (N contiguous values). */
    [[nodiscard]] const double* window (int channel) const noexcept
    {
        return data[static_cast<size_t> (channel)].data() + writeIndex[static_cast<size_t> (channel)] + 1;
    }

    /** Push and read for a run of samples of one channel: out[k] is in[k] delayed by N samples.
        in and out may be the same array. */
    void pushAndReadBlock (int channel, const double* in, double* out, int numSamples) noexcept
    {
        auto* samples = data[static_cast<size_t> (channel)].data();
        int i = writeIndex[static_cast<size_t> (channel)];

        for (int k = 0; k < numSamples; ++k)
        {
            const double x = in[k];
            out[k] = samples[i + length];
            samples[i + length] = x;
            samples[i] = x;

            if (++i == length)
                i = 0;
        }

        writeIndex[static_cast<size_t> (channel)] = i;
    }

    /** For a run of samples of one channel: write each at the head, read back the sample
        `stepsBack` steps behind it (0 being the one just written) and move this channel's head
        on. The other channels' heads stay where they are. */
    void writeReadBackBlock (int channel, const double* in, double* out, int stepsBack, int numSamples) noexcept
    {
        auto* samples = data[static_cast<size_t> (channel)].data();
        int i = writeIndex[static_cast<size_t> (channel)];

        for (int k = 0; k < numSamples; ++k)
        {
            samples[i + length] = in[k];
            samples[i] = in[k];
            out[k] = samples[i + length - stepsBack];

            if (++i == length)
                i = 0;
        }

        writeIndex[static_cast<size_t> (channel)] = i;
    }

    /** The last N samples of a channel, oldest first, while the head waits for the next sample
        (after advance, before writeAtHead). */
    [[nodiscard]] const double* windowBeforeHead (int channel) const noexcept
    {
        return data[static_cast<size_t> (channel)].data() + writeIndex[static_cast<size_t> (channel)];
    }

    /** Moves the head of every channel one step on. */
    void advance() noexcept
    {
        for (auto& i : writeIndex)
            if (++i == length)
                i = 0;
    }

    /** After writeAtHead and advance: the sample written N − 1 advances ago. */
    [[nodiscard]] double readOldest (int channel) const noexcept
    {
        return data[static_cast<size_t> (channel)][static_cast<size_t> (writeIndex[static_cast<size_t> (channel)])];
    }

    [[nodiscard]] int getNumChannels() const noexcept { return numChannels; }
    [[nodiscard]] int getLength() const noexcept { return length; }
    [[nodiscard]] const CircularBuffer* getPrevious() const noexcept { return previous.get(); }

private:
    CircularBuffer (int channels, int samples);

    int numChannels = 0;
    int length = 0;
    std::vector<std::vector<double>> data;
    std::vector<int> writeIndex;
    std::unique_ptr<CircularBuffer> previous;

    CircularBuffer (const CircularBuffer&) = delete;
    CircularBuffer& operator= (const CircularBuffer&) = delete;
};

} // namespace OSK::DSP
