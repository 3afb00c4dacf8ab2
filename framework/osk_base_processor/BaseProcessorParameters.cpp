#include "osk_base_processor/BaseProcessor.h"
#include "osk_base_processor/ParameterText.h"

#include <cmath>

namespace OSK
{
namespace
{
    juce::AudioProcessorParameter::Category categoryOf (BaseProcessor::HostMeterType type) noexcept
    {
        switch (type)
        {
            case BaseProcessor::HostMeterType::ExpanderGateGainReduction:
                return juce::AudioProcessorParameter::expanderGateGainReductionMeter;
            case BaseProcessor::HostMeterType::CompressorLimiterGainReduction:
                break;
        }

        return juce::AudioProcessorParameter::compressorLimiterGainReductionMeter;
    }
} // namespace

void BaseProcessor::registerParameter (int index, const juce::String& id, float defaultRawValue)
{
    const auto slot = static_cast<size_t> (index);
    rawParameterValues[slot] = valueTreeState.getRawParameterValue (id);
    lastParameterValues[slot] = defaultRawValue;
    parameterIds[slot] = id;
    ++numParameters;
}

void BaseProcessor::createFloatParameter_ (int index, const juce::String& id, float defaultValue,
                                           const juce::AudioParameterFloatAttributes& attributes)
{
    valueTreeState.createAndAddParameter (std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, 1 }, id, juce::NormalisableRange<float> (0.0f, 1.0f), defaultValue, attributes));
    registerParameter (index, id, defaultValue);
}

void BaseProcessor::createFloatParameter (int index, const juce::String& id, float defaultValue, float displayMin,
                                          float displayMax, const juce::String& suffix, bool meta)
{
    createFloatParameter_ (index, id, defaultValue,
                           juce::AudioParameterFloatAttributes()
                               .withStringFromValueFunction ([displayMin, displayMax, suffix] (float value, int) {
                                   return ParameterText::linearValueToText (value, displayMin, displayMax, suffix);
                               })
                               .withValueFromStringFunction ([displayMin, displayMax] (const juce::String& text) {
                                   return ParameterText::linearTextToValue (text, displayMin, displayMax);
                               })
                               .withMeta (meta));
}

void BaseProcessor::createFloatParameter (int index, const juce::String& id, float defaultValue,
                                          ValueToText valueToText, TextToValue textToValue)
{
    createFloatParameter_ (index, id, defaultValue,
                           juce::AudioParameterFloatAttributes()
                               .withStringFromValueFunction (std::move (valueToText))
                               .withValueFromStringFunction (std::move (textToValue)));
}

void BaseProcessor::createChoicesParameter (int index, const juce::String& id, const juce::StringArray& choices,
                                            int defaultIndex, bool meta)
{
    valueTreeState.createAndAddParameter (std::make_unique<juce::AudioParameterChoice> (
        juce::ParameterID { id, 1 }, id, choices, defaultIndex, juce::AudioParameterChoiceAttributes().withMeta (meta)));
    registerParameter (index, id, static_cast<float> (defaultIndex));
}

void BaseProcessor::createHostMeter (int index, const juce::String& id, HostMeterType type)
{
    const auto slot = static_cast<size_t> (index);
    hostMeterParameters[slot] = valueTreeState.createAndAddParameter (std::make_unique<juce::AudioParameterFloat> (
        juce::ParameterID { id, 1 }, id, juce::NormalisableRange<float> (0.0f, 1.0f), 0.0f,
        juce::AudioParameterFloatAttributes().withCategory (categoryOf (type))));
    hostMeterIds[slot] = id;
    ++numHostMeters;
}

ParameterLink* BaseProcessor::createParameterLink (int firstIndex, int secondIndex, ParameterLink::Type type,
                                                   ParameterLink::Direction)
{
    auto* link = new ParameterLink (valueTreeState, parameterIds[static_cast<size_t> (firstIndex)],
                                    parameterIds[static_cast<size_t> (secondIndex)], type);
    parameterLinks.push_back (link);
    return link;
}

void BaseProcessor::setParameterValue (int index, float value)
{
    if (auto* parameter = valueTreeState.getParameter (parameterIds[static_cast<size_t> (index)]))
    {
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost (value);
        parameter->endChangeGesture();
    }
}

void BaseProcessor::updateParameters() noexcept
{
    // Small moves are not worth a redesign in the engine; a forced update (after the playback
    // settings changed) re-sends everything once.
    const bool force = forceParameterUpdate.load (std::memory_order_relaxed);

    for (int i = 0; i < numParameters; ++i)
    {
        const auto slot = static_cast<size_t> (i);
        const float value = rawParameterValues[slot]->load (std::memory_order_relaxed);

        if (std::abs (lastParameterValues[slot] - value) >= 0.0001f || force)
        {
            lastParameterValues[slot] = value;
            dsp->parameterChanged (i, value);
            parameterChanged (i, value);
        }
    }

    forceParameterUpdate.store (false, std::memory_order_relaxed);

    // Hosts draw these as gain-reduction meters; they reflect the engine after the previous block.
    for (int j = 0; j < numHostMeters; ++j)
    {
        auto* meter = hostMeterParameters[static_cast<size_t> (j)];
        const auto value = static_cast<float> (dsp->getHostMeterValue (j));

        meter->beginChangeGesture();
        meter->setValueNotifyingHost (value);
        meter->endChangeGesture();
    }
}

} // namespace OSK
