#include "osk_base_processor/ParameterText.h"

#include <gtest/gtest.h>

using namespace OSK::ParameterText;

namespace
{
struct LinearTextCase
{
    float value, lo, hi;
    const char* suffix;
    const char* expected;
};

// Two decimals, zero padding, and a five-character cut that drops the last decimal of long or
// negative values.
const LinearTextCase linearTextCases[] = {
    { 0.5f, -15.0f, 15.0f, "", "0.00" },
    { 0.0f, -15.0f, 15.0f, "", "-15.0" },
    { 1.0f, -15.0f, 15.0f, "", "15.00" },
    { 0.25f, -15.0f, 15.0f, "", "-7.50" },
    { 0.75f, -15.0f, 15.0f, "", "7.50" },
    { 0.0f, 1.0f, 10.0f, ":1", "1.00:1" },
    { 0.25f, 1.0f, 10.0f, ":1", "3.25:1" },
    { 1.0f, 1.0f, 10.0f, ":1", "10.00:1" },
    { 0.123456f, -60.0f, 0.0f, "", "-52.5" },
    { 1.0f, -48.0f, 0.0f, "", "0.00" },
    { 0.0f, -48.0f, 0.0f, "", "-48.0" },
    { 1.0f, 0.0f, 48.0f, "", "48.00" },
    { 0.001f, 0.0f, 1.0f, "", "0.00" },  // 0.1 rounds down
    { 0.125f, 0.0f, 1.0f, "", "0.13" },  // halves go away from zero
    { 0.4375f, -1.0f, 1.0f, "", "-0.13" },
    { 0.4995f, -1.0f, 1.0f, "", "0.00" },  // a value that rounds to zero shows no sign
};

struct TextValueCase
{
    const char* text;
    float lo, hi;
    float expected;
};

const TextValueCase textValueCases[] = {
    { "4:1", 1.0f, 10.0f, 0.33333334f },
    { "no number", -60.0f, 0.0f, 1.0f }, // 0 is the top of this range
    { "-7.5", -15.0f, 15.0f, 0.25f },
    { "  12 dB", 0.0f, 48.0f, 0.25f },
    { "100", -15.0f, 15.0f, 115.0f / 30.0f }, // limited later by the parameter
};
} // namespace

TEST (ParameterText, LinearValueToTextMatchesTheDisplayRules)
{
    for (const auto& c : linearTextCases)
        EXPECT_EQ (linearValueToText (c.value, c.lo, c.hi, c.suffix), c.expected)
            << "value " << c.value << " on " << c.lo << ".." << c.hi;
}

TEST (ParameterText, LinearTextToValueReadsTheLeadingNumber)
{
    for (const auto& c : textValueCases)
        EXPECT_FLOAT_EQ (linearTextToValue (c.text, c.lo, c.hi), c.expected) << c.text;
}

TEST (ParameterText, FixedPointPadsCutsAndSigns)
{
    EXPECT_EQ (fixedPoint (5, 2), "0.05");
    EXPECT_EQ (fixedPoint (-5, 2), "-0.05");
    EXPECT_EQ (fixedPoint (100000, 3), "100.0");
    EXPECT_EQ (fixedPoint (63, 3), "0.063");
    EXPECT_EQ (fixedPoint (-123456, 2), "-1234");
}
