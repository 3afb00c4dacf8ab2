#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>

namespace OSK
{
/** Couples two parameters so that moving one moves the other.

    The link listens to both parameters of the value tree state and reacts synchronously on the
    thread that changed one of them. While disabled it only keeps track of the values, so that
    once enabled it moves the partner by the change since the last value it saw.
*/
class ParameterLink : public juce::AudioProcessorValueTreeState::Listener
{
public:
    /** How the partner follows a change. */
    enum class Type
    {
        Absolute,       ///< the partner takes the same normalised value
        Relative,       ///< the partner moves by the same normalised change
        InverseRelative ///< the partner moves by the opposite change
    };

    /** Which of the two parameters drives the other. Every link reacts to both, so there is only
        one value; the argument stays so that products state their intent at the call site. */
    enum class Direction
    {
        Both
    };

    /** Creates a disabled link between two registered parameters (message thread). */
    ParameterLink (juce::AudioProcessorValueTreeState& state, const juce::String& firstParameterId,
                   const juce::String& secondParameterId, Type linkType);
    ~ParameterLink() override;

    /** Follows or mirrors a change of either parameter (any thread that changes a parameter). */
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    std::atomic<bool> busy { false };
    std::atomic<bool> enabled { false };
    juce::AudioProcessorValueTreeState& valueTreeState;
    const juce::String firstId;
    const juce::String secondId;
    std::array<float, 2> lastValues {};
    const Type type;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterLink)
};

} // namespace OSK
