#pragma once

#include <juce_core/juce_core.h>

namespace OSK::ParameterText
{
/** Formats a scaled integer as a short fixed-point text: the digits of |n| padded with leading
    zeros to decimals + 1 digits, a point before the last `decimals` digits, a leading "-" for
    negative n, and at most five characters in all (so long values lose trailing decimals). */
[[nodiscard]] juce::String fixedPoint (long long n, int decimals);

/** Rounds to the nearest integer, halves away from zero. */
[[nodiscard]] long long roundHalfAway (double x) noexcept;

/** Text of a normalised value shown on the linear display range lo..hi with two decimals. */
[[nodiscard]] juce::String linearValueToText (float normalised, float lo, float hi, const juce::String& suffix);

/** Normalised value of the leading number of a text on the linear display range lo..hi. The
    result is not limited; the parameter limits it to 0..1. */
[[nodiscard]] float linearTextToValue (const juce::String& text, float lo, float hi);

} // namespace OSK::ParameterText
