#include "plugin/KelvaneParameterText.h"

#include "osk_base_processor/ParameterText.h"

#include <cmath>
#include <limits>

namespace OSK::KelvaneParameterText
{
using ParameterText::fixedPoint;
using ParameterText::roundHalfAway;

juce::String attackValueToText (float normalised, int)
{
    const float milliseconds = std::pow (10.0f, 3.0f * normalised - 1.0f);
    return fixedPoint (roundHalfAway (static_cast<double> (milliseconds) * 1000.0), 3);
}

float attackTextToValue (const juce::String& text)
{
    const float milliseconds = juce::jlimit (0.1f, 100.0f, text.getFloatValue());
    return (std::log10 (milliseconds) + 1.0f) / 3.0f;
}

juce::String releaseValueToText (float normalised, int)
{
    // The epsilon nudges values that land a hair below a thousandth onto it.
    const float seconds = std::pow (10.0f, 2.0f * normalised) * 0.02f + std::numeric_limits<float>::epsilon();
    return fixedPoint (roundHalfAway (static_cast<double> (seconds) * 1000.0), 3);
}

float releaseTextToValue (const juce::String& text)
{
    const float seconds = juce::jlimit (0.02f, 2.0f, text.getFloatValue());
    return 0.5f * std::log10 (seconds / 0.02f);
}

} // namespace OSK::KelvaneParameterText
