#include "osk_base_processor/ParameterLink.h"

namespace OSK
{
ParameterLink::ParameterLink (juce::AudioProcessorValueTreeState& state, const juce::String& firstParameterId,
                              const juce::String& secondParameterId, Type linkType)
    : valueTreeState (state)
    , firstId (firstParameterId)
    , secondId (secondParameterId)
    , type (linkType)
{
    valueTreeState.addParameterListener (firstId, this);
    valueTreeState.addParameterListener (secondId, this);

    lastValues[0] = valueTreeState.getParameter (firstId)->getValue();
    lastValues[1] = valueTreeState.getParameter (secondId)->getValue();
}

ParameterLink::~ParameterLink()
{
    valueTreeState.removeParameterListener (firstId, this);
    valueTreeState.removeParameterListener (secondId, this);
}

void ParameterLink::parameterChanged (const juce::String& parameterID, float newValue)
{
    const bool isFirst = parameterID == firstId;
    const auto slot = isFirst ? 0u : 1u;
    auto* changed = valueTreeState.getParameter (isFirst ? firstId : secondId);
    const float normalised = changed->convertTo0to1 (newValue);

    // The partner's own notification comes back here while we move it: only record its value.
    if (busy.load() || ! enabled.load())
    {
        lastValues[slot] = normalised;
        return;
    }

    const bool wasBusy = busy.exchange (true);
    auto* partner = valueTreeState.getParameter (isFirst ? secondId : firstId);
    const float previous = lastValues[slot];
    const float current = partner->getValue();

    float target = normalised;

    if (type == Type::Relative)
        target = current + (normalised - previous);
    else if (type == Type::InverseRelative)
        target = current - (normalised - previous);

    lastValues[slot] = normalised;

    partner->beginChangeGesture();
    partner->setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, target));
    partner->endChangeGesture();

    busy.store (wasBusy);
}

} // namespace OSK
