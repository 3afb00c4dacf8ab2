#pragma once

#include <juce_core/juce_core.h>

namespace OSK::KelvaneParameterText
{
/** Attack time in milliseconds for a normalised value: 0.1 ms at 0 to 100 ms at 1, logarithmic. */
[[nodiscard]] juce::String attackValueToText (float normalised, int maximumLength = 0);
[[nodiscard]] float attackTextToValue (const juce::String& text);

/** Release time in seconds for a normalised value: 0.020 s at 0 to 2.000 s at 1, logarithmic. */
[[nodiscard]] juce::String releaseValueToText (float normalised, int maximumLength = 0);
[[nodiscard]] float releaseTextToValue (const juce::String& text);

} // namespace OSK::KelvaneParameterText
