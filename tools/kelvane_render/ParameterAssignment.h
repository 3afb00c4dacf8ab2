#pragma once

#include "plugin/KelvaneProcessor.h"

namespace KelvaneRender
{
/** Finds one of the product's 56 parameters by its ID, exactly or ignoring case. Throws
    RenderError naming the closest IDs when there is no such parameter. */
[[nodiscard]] juce::RangedAudioParameter& findParameter (OSK::KelvaneProcessor& processor, const juce::String& id);

/** The IDs closest to a mistyped one (by edit distance, ignoring case), best first, at most three. */
[[nodiscard]] juce::StringArray closestParameterIds (OSK::KelvaneProcessor& processor, const juce::String& id);

/** The normalised value a text gives a parameter, read by the parameter's own text-to-value
    function as the plug-in does when a user types it. A choice takes one of its choice names
    (ignoring case); any other parameter a text that starts with a number inside its range.
    Throws RenderError otherwise. */
[[nodiscard]] float valueForText (juce::RangedAudioParameter& parameter, const juce::String& text);

/** The edit distance between two texts: insertions, deletions and substitutions. */
[[nodiscard]] int editDistance (const juce::String& a, const juce::String& b);

} // namespace KelvaneRender
