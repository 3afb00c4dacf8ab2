#include "osk_base_processor/NumberText.h"

#include <cmath>

namespace OSK::NumberText
{
int leadingNumberLength (const juce::String& text)
{
    auto p = text.getCharPointer();
    const auto start = p;
    const auto skipDigits = [&p]
    {
        int n = 0;

        while (juce::CharacterFunctions::isDigit (*p))
        {
            ++p;
            ++n;
        }

        return n;
    };

    while (juce::CharacterFunctions::isWhitespace (*p))
        ++p;

    if (*p == '+' || *p == '-')
        ++p;

    int digits = skipDigits();

    if (*p == '.')
    {
        ++p;
        digits += skipDigits();
    }

    if (digits == 0)
        return 0;

    // An exponent only counts when digits follow it: "2e" is the number 2 and a letter.
    if (*p == 'e' || *p == 'E')
    {
        auto exponent = p;
        ++p;

        if (*p == '+' || *p == '-')
            ++p;

        if (skipDigits() == 0)
            p = exponent;
    }

    return static_cast<int> (p - start);
}

std::optional<double> leadingNumber (const juce::String& text)
{
    const auto length = leadingNumberLength (text);

    if (length == 0)
        return std::nullopt;

    const auto value = text.substring (0, length).trim().getDoubleValue();
    return std::isfinite (value) ? std::optional<double> (value) : std::nullopt;
}

std::optional<double> wholeNumber (const juce::String& text)
{
    const auto trimmed = text.trim();

    if (trimmed.isEmpty() || leadingNumberLength (trimmed) != trimmed.length())
        return std::nullopt;

    return leadingNumber (trimmed);
}

} // namespace OSK::NumberText
