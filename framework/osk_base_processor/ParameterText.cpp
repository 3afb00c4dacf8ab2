#include "osk_base_processor/ParameterText.h"

#include <cmath>

namespace OSK::ParameterText
{
long long roundHalfAway (double x) noexcept
{
    return static_cast<long long> (std::round (x));
}

juce::String fixedPoint (long long n, int decimals)
{
    auto digits = juce::String (n < 0 ? -n : n).paddedLeft ('0', decimals + 1);
    auto text = digits.dropLastCharacters (decimals) + "." + digits.getLastCharacters (decimals);

    if (n < 0)
        text = "-" + text;

    return text.substring (0, 5);
}

juce::String linearValueToText (float normalised, float lo, float hi, const juce::String& suffix)
{
    const auto real = static_cast<float> (static_cast<double> (normalised) * (static_cast<double> (hi) - lo) + lo);

    // Scaling a float by 100 is exact in double, so the rounding sees the true value.
    return fixedPoint (roundHalfAway (static_cast<double> (real) * 100.0), 2) + suffix;
}

float linearTextToValue (const juce::String& text, float lo, float hi)
{
    const auto x = static_cast<double> (text.getFloatValue());
    return static_cast<float> ((x - lo) / (static_cast<double> (hi) - lo));
}

} // namespace OSK::ParameterText
