#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

namespace KelvaneRender
{
/** A small, fast generator whose sequence depends only on its seed (xoshiro256**), so that a
    file dithers the same way on every run, in every job and on every pass. */
class DitherNoise
{
public:
    explicit DitherNoise (std::uint64_t seed) noexcept;

    /** A uniform value in [−0.5, 0.5). */
    [[nodiscard]] double nextUniform() noexcept;

    /** Triangular noise in (−1, 1): the sum of two uniform values, one LSB wide each. */
    [[nodiscard]] double nextTriangular() noexcept { return nextUniform() + nextUniform(); }

private:
    std::uint64_t s[4] {};
};

/** A seed taken from a file name (FNV-1a), the same wherever the file lies and whenever it is rendered. */
[[nodiscard]] std::uint64_t seedForName (const juce::String& fileName) noexcept;

/** Turns the chain's double-precision output into the samples a file stores: integers of 8, 16
    or 24 bits, rounded after TPDF dither (or without), or 32-bit floats. The results come in the
    form JUCE's audio writers take, and also as the values that the file will hold, for the
    loudness measurement of the output.
*/
class SampleQuantiser
{
public:
    /** A quantiser for the given sample format; one noise generator per channel, seeded from `seed`. */
    SampleQuantiser (int numChannels, int bitsPerSample, bool floatingPoint, bool dither, std::uint64_t seed);

    /** Converts one channel's block. For integer formats writerSamples receives the sample left-
        justified in 32 bits, for float formats the float's bits; written receives the value the
        file will hold, as a double. */
    void convert (int channel, const double* input, int numSamples, int* writerSamples, double* written) noexcept;

    [[nodiscard]] bool isFloatingPoint() const noexcept { return floatingPoint; }

    /** How many samples lay more than one step beyond full scale and were clipped. */
    [[nodiscard]] juce::int64 getNumClipped() const noexcept { return clipped; }

private:
    int bits;
    bool floatingPoint;
    bool dither;
    std::vector<DitherNoise> noise;
    juce::int64 clipped = 0;
};

} // namespace KelvaneRender
