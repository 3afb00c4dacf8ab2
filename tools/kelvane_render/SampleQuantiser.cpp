#include "SampleQuantiser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace KelvaneRender
{
namespace
{
    std::uint64_t splitMix (std::uint64_t& state) noexcept
    {
        auto z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    std::uint64_t rotateLeft (std::uint64_t x, int k) noexcept { return (x << k) | (x >> (64 - k)); }
} // namespace

DitherNoise::DitherNoise (std::uint64_t seed) noexcept
{
    for (auto& word : s)
        word = splitMix (seed);
}

double DitherNoise::nextUniform() noexcept
{
    const auto result = rotateLeft (s[1] * 5, 7) * 9;
    const auto t = s[1] << 17;

    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotateLeft (s[3], 45);

    // The top 53 bits give every double in [0, 1) with equal spacing.
    return static_cast<double> (result >> 11) * 0x1.0p-53 - 0.5;
}

std::uint64_t seedForName (const juce::String& fileName) noexcept
{
    std::uint64_t hash = 0xcbf29ce484222325ull;

    for (auto p = fileName.toRawUTF8(); *p != 0; ++p)
    {
        hash ^= static_cast<unsigned char> (*p);
        hash *= 0x100000001b3ull;
    }

    return hash;
}

SampleQuantiser::SampleQuantiser (int numChannels, int bitsPerSample, bool isFloat, bool useDither, std::uint64_t seed)
    : bits (bitsPerSample)
    , floatingPoint (isFloat)
    , dither (useDither && ! isFloat)
{
    // Each channel gets its own sequence, spread far apart by an odd multiplier.
    std::uint64_t channelSeed = seed;

    for (int c = 0; c < numChannels; ++c)
    {
        channelSeed += std::uint64_t { 0x632be59bd9b4e019u };
        noise.emplace_back (channelSeed);
    }
}

void SampleQuantiser::convert (int channel, const double* input, int numSamples, int* writerSamples, double* written) noexcept
{
    if (floatingPoint)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const auto value = static_cast<float> (input[i]);
            std::memcpy (writerSamples + i, &value, sizeof (value));
            written[i] = static_cast<double> (value);
        }

        return;
    }

    // A sample of b bits counts in steps of 2^−(b−1); the writers take it left-justified in 32 bits.
    const double scale = std::ldexp (1.0, bits - 1);
    const double lowest = -scale;
    const double highest = scale - 1.0;
    const int shift = 32 - bits;
    auto& generator = noise[static_cast<size_t> (channel)];

    for (int i = 0; i < numSamples; ++i)
    {
        const double noiseLsb = dither ? generator.nextTriangular() : 0.0;
        const double step = std::clamp (std::floor (input[i] * scale + noiseLsb + 0.5), lowest, highest);

        // Full scale itself (a limiter's 0 dB ceiling) rounds to the top step; only samples
        // beyond it by more than a step count as clipped.
        if (std::abs (input[i]) * scale > scale + 1.0)
            ++clipped;
        const auto integer = static_cast<std::int32_t> (step);

        writerSamples[i] = static_cast<int> (static_cast<std::uint32_t> (integer) << shift);
        written[i] = step / scale;
    }
}

} // namespace KelvaneRender
