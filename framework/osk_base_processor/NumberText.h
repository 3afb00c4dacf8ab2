#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace OSK::NumberText
{
/** The length of the decimal number at the start of a text (sign, digits with at most one
    point, an optional exponent), or 0 when the text does not start with one. Leading spaces
    count as part of it. Read without the C locale, which may not use "." as its point. */
[[nodiscard]] int leadingNumberLength (const juce::String& text);

/** The number a whole text spells ("-14", "+0.5", "1e-3"), if it spells one and it is finite. */
[[nodiscard]] std::optional<double> wholeNumber (const juce::String& text);

/** The number at the start of a text ("-12 dB", "4.00:1"), if there is one. */
[[nodiscard]] std::optional<double> leadingNumber (const juce::String& text);

} // namespace OSK::NumberText
