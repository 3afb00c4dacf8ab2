#include "SampleQuantiser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace KelvaneRender;

namespace
{
struct Converted
{
    std::vector<int> writer;
    std::vector<double> written;
};

Converted convert (SampleQuantiser& quantiser, const std::vector<double>& input, int channel = 0)
{
    Converted result { std::vector<int> (input.size()), std::vector<double> (input.size()) };
    quantiser.convert (channel, input.data(), static_cast<int> (input.size()), result.writer.data(), result.written.data());
    return result;
}

std::vector<double> ramp (size_t length)
{
    std::vector<double> values (length);

    for (size_t i = 0; i < length; ++i)
        values[i] = 0.9 * std::sin (0.001 * static_cast<double> (i)) + 1.0e-6;

    return values;
}
} // namespace

TEST (SampleQuantiser, WithoutDitherRoundsToTheNearestStep)
{
    SampleQuantiser quantiser (1, 16, false, false, 1);
    const auto result = convert (quantiser, { 0.0, 1.0 / 32768.0, 0.4 / 32768.0, -0.6 / 32768.0, 1.0, -1.0, 2.0 });

    EXPECT_EQ (result.writer, (std::vector<int> { 0, 1 << 16, 0, -1 * (1 << 16), 32767 << 16, -32768 * (1 << 16), 32767 << 16 }));
    EXPECT_EQ (quantiser.getNumClipped(), 1); // 2.0 is far beyond full scale; 1.0 only one step
    EXPECT_DOUBLE_EQ (result.written[1], 1.0 / 32768.0);
}

TEST (SampleQuantiser, TpdfDitherStaysWithinOneStepAndIsUnbiased)
{
    SampleQuantiser quantiser (1, 16, false, true, 7);
    const auto input = ramp (200000);
    const auto result = convert (quantiser, input);
    double sum = 0.0;

    for (size_t i = 0; i < input.size(); ++i)
    {
        const auto error = (result.written[i] - input[i]) * 32768.0;
        ASSERT_LE (std::abs (error), 1.5);
        sum += error;
    }

    EXPECT_NEAR (sum / static_cast<double> (input.size()), 0.0, 0.01);
}

TEST (SampleQuantiser, TheSameSeedDithersTheSameWay)
{
    const auto input = ramp (10000);
    SampleQuantiser a (2, 24, false, true, seedForName ("mix.wav"));
    SampleQuantiser b (2, 24, false, true, seedForName ("mix.wav"));
    SampleQuantiser c (2, 24, false, true, seedForName ("other.wav"));

    EXPECT_EQ (convert (a, input, 1).writer, convert (b, input, 1).writer);
    EXPECT_NE (convert (a, input, 0).writer, convert (c, input, 0).writer);
    EXPECT_NE (convert (b, input, 0).writer, convert (b, input, 1).writer) << "channels share their noise";
}

TEST (SampleQuantiser, FloatOutputKeepsTheNearestFloat)
{
    SampleQuantiser quantiser (1, 32, true, true, 1);
    const std::vector<double> input { 0.1, -1.5, 1.0e-30 };
    const auto result = convert (quantiser, input);

    for (size_t i = 0; i < input.size(); ++i)
    {
        float stored = 0.0f;
        std::memcpy (&stored, &result.writer[i], sizeof (stored));
        EXPECT_EQ (stored, static_cast<float> (input[i]));
        EXPECT_EQ (result.written[i], static_cast<double> (static_cast<float> (input[i])));
    }

    EXPECT_EQ (quantiser.getNumClipped(), 0);
}
