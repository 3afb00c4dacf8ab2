#pragma once

// Runs audio through a KelvaneProcessor the way a host does: parameters set through their
// objects, pushed at the start of each block, blocks processed in place.

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneProcessor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace KelvaneTest
{
struct Stereo
{
    std::vector<double> left, right;

    Stereo() = default;
    explicit Stereo (size_t length) : left (length, 0.0), right (length, 0.0) {}

    [[nodiscard]] size_t size() const { return left.size(); }
    std::vector<double>& channel (int c) { return c == 0 ? left : right; }
    [[nodiscard]] const std::vector<double>& channel (int c) const { return c == 0 ? left : right; }
};

class ProcessorRunner
{
public:
    explicit ProcessorRunner (double rate = 48000.0, int maximumBlockSize = 512)
        : sampleRate (rate), blockSize (maximumBlockSize)
    {
        processor.prepareToPlay (sampleRate, blockSize);
    }

    OSK::KelvaneDsp& engine() { return processor.getEngine(); }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *processor.valueTreeState.getParameter (id); }

    /** Sets a parameter to a normalised value, as automation does. */
    void set (const juce::String& id, float normalised) { parameter (id).setValueNotifyingHost (normalised); }

    /** Sets a parameter from the text a user would type, through the parameter's own parser. */
    void setText (const juce::String& id, const juce::String& text) { set (id, parameter (id).getValueForText (text)); }

    /** Pushes the parameters and starts from rest with every working value at its target, as
        if the glides had long finished (prepares again with the same settings), then runs
        silence until the equaliser's kernels are synthesised for the new settings. */
    void settle()
    {
        process (Stereo (1));
        processor.prepareToPlay (sampleRate, blockSize);
        process (Stereo (static_cast<size_t> (engine().firLength)));
    }

    /** Processes in blocks of the given length (the maximum block size by default). */
    Stereo process (const Stereo& input, int blockLength = 0)
    {
        blockLength = blockLength > 0 ? blockLength : blockSize;
        Stereo output (input.size());
        juce::AudioBuffer<double> buffer (2, blockLength);
        juce::MidiBuffer midi;

        for (size_t start = 0; start < input.size(); start += static_cast<size_t> (blockLength))
        {
            const auto length = static_cast<int> (std::min (static_cast<size_t> (blockLength), input.size() - start));
            buffer.setSize (2, length, false, false, true);

            for (int c = 0; c < 2; ++c)
                std::copy_n (input.channel (c).begin() + static_cast<long> (start), length, buffer.getWritePointer (c));

            processor.processBlock (buffer, midi);

            for (int c = 0; c < 2; ++c)
                std::copy_n (buffer.getReadPointer (c), length, output.channel (c).begin() + static_cast<long> (start));
        }

        return output;
    }

    OSK::KelvaneProcessor processor;
    double sampleRate;
    int blockSize;
};

//==============================================================================
inline Stereo impulse (size_t length, size_t at, double amplitude = 1.0)
{
    Stereo s (length);
    s.left[at] = amplitude;
    s.right[at] = amplitude;
    return s;
}

inline Stereo sine (size_t length, double frequency, double sampleRate, double amplitude, bool invertRight = false)
{
    Stereo s (length);

    for (size_t n = 0; n < length; ++n)
    {
        s.left[n] = amplitude * std::sin (2.0 * 3.14159265358979323846 * frequency * static_cast<double> (n) / sampleRate);
        s.right[n] = invertRight ? -s.left[n] : s.left[n];
    }

    return s;
}

/** Deterministic white noise, uniform in −amplitude..amplitude. */
inline Stereo noise (size_t length, double amplitude, juce::int64 seed = 1)
{
    juce::Random random (seed);
    Stereo s (length);

    for (size_t n = 0; n < length; ++n)
    {
        s.left[n] = amplitude * (2.0 * random.nextDouble() - 1.0);
        s.right[n] = amplitude * (2.0 * random.nextDouble() - 1.0);
    }

    return s;
}

inline double peakOf (const std::vector<double>& x, size_t from = 0, size_t to = 0)
{
    to = to == 0 ? x.size() : to;
    double peak = 0.0;

    for (size_t n = from; n < to; ++n)
        peak = std::max (peak, std::abs (x[n]));

    return peak;
}

inline double rmsOf (const std::vector<double>& x, size_t from, size_t to)
{
    double sum = 0.0;

    for (size_t n = from; n < to; ++n)
        sum += x[n] * x[n];

    return std::sqrt (sum / static_cast<double> (to - from));
}
} // namespace KelvaneTest
