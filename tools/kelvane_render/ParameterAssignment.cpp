#include "ParameterAssignment.h"

#include "osk_base_processor/NumberText.h"
#include "RenderError.h"

#include <algorithm>
#include <vector>

namespace KelvaneRender
{
namespace
{
    [[noreturn]] void fail (const juce::String& message) { throw RenderError (message.toStdString()); }

    juce::StringArray productParameterIds (OSK::KelvaneProcessor& processor)
    {
        juce::StringArray ids;

        // The registry's first entries are the product's parameters; the host meters that
        // follow them in the value tree are read-only and not settable.
        for (int i = 0; i < processor.numParameters; ++i)
            ids.add (processor.parameterIds[static_cast<size_t> (i)]);

        return ids;
    }

    juce::String describeRange (juce::RangedAudioParameter& parameter)
    {
        return parameter.getText (0.0f, 0) + " to " + parameter.getText (1.0f, 0);
    }
} // namespace

int editDistance (const juce::String& a, const juce::String& b)
{
    const auto n = static_cast<size_t> (a.length());
    const auto m = static_cast<size_t> (b.length());
    std::vector<int> previous (m + 1), current (m + 1);

    for (size_t j = 0; j <= m; ++j)
        previous[j] = static_cast<int> (j);

    for (size_t i = 1; i <= n; ++i)
    {
        current[0] = static_cast<int> (i);

        for (size_t j = 1; j <= m; ++j)
        {
            const int substitution = a[static_cast<int> (i - 1)] == b[static_cast<int> (j - 1)] ? 0 : 1;
            current[j] = std::min ({ previous[j] + 1, current[j - 1] + 1, previous[j - 1] + substitution });
        }

        std::swap (previous, current);
    }

    return previous[m];
}

juce::StringArray closestParameterIds (OSK::KelvaneProcessor& processor, const juce::String& id)
{
    const auto typed = id.toLowerCase();
    const auto allowed = std::max (2, typed.length() / 3);
    std::vector<std::pair<int, juce::String>> candidates;

    for (const auto& candidate : productParameterIds (processor))
    {
        const auto lower = candidate.toLowerCase();
        auto distance = editDistance (typed, lower);

        // A typed fragment of a longer ID ("Ceil" for "LCeil") is as good as a near miss.
        if (typed.length() >= 3 && lower.contains (typed))
            distance = std::min (distance, 1);

        if (distance <= allowed)
            candidates.emplace_back (distance, candidate);
    }

    std::stable_sort (candidates.begin(), candidates.end(),
                      [] (const auto& x, const auto& y) { return x.first < y.first; });

    juce::StringArray closest;

    for (size_t k = 0; k < std::min<size_t> (3, candidates.size()); ++k)
        closest.add (candidates[k].second);

    return closest;
}

juce::RangedAudioParameter& findParameter (OSK::KelvaneProcessor& processor, const juce::String& id)
{
    const auto ids = productParameterIds (processor);
    auto index = ids.indexOf (id);

    if (index < 0)
        index = ids.indexOf (id, true);

    if (index >= 0)
        if (auto* parameter = processor.valueTreeState.getParameter (ids[index]))
            return *parameter;

    const auto closest = closestParameterIds (processor, id);

    if (closest.isEmpty())
        fail ("unknown parameter \"" + id + "\" (see --list-parameters)");

    fail ("unknown parameter \"" + id + "\"; did you mean " + closest.joinIntoString (", ") + "?");
}

float valueForText (juce::RangedAudioParameter& parameter, const juce::String& text)
{
    const auto& id = parameter.getParameterID();

    if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (&parameter))
    {
        const auto index = choice->choices.indexOf (text.trim(), true);

        if (index < 0)
            fail ("--set " + id + "=" + text + ": choose one of " + choice->choices.joinIntoString (", "));

        // The parameter's own parser, with the choice name spelled as it knows it.
        return parameter.getValueForText (choice->choices[index]);
    }

    // The parameter's parser reads a leading number and ignores the rest; a text without one
    // would silently become the bottom of the range.
    const auto typed = OSK::NumberText::leadingNumber (text);

    if (! typed)
        fail ("--set " + id + "=" + text + ": not a number (the range is " + describeRange (parameter) + ")");

    const auto lowest = OSK::NumberText::leadingNumber (parameter.getText (0.0f, 0)).value_or (0.0);
    const auto highest = OSK::NumberText::leadingNumber (parameter.getText (1.0f, 0)).value_or (0.0);
    const auto slack = 1.0e-9 * std::max ({ 1.0, std::abs (lowest), std::abs (highest) });

    if (*typed < std::min (lowest, highest) - slack || *typed > std::max (lowest, highest) + slack)
        fail ("--set " + id + "=" + text + ": out of range (" + describeRange (parameter) + ")");

    return juce::jlimit (0.0f, 1.0f, parameter.getValueForText (text));
}

} // namespace KelvaneRender
