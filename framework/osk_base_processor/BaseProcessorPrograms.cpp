#include "osk_base_processor/BaseProcessor.h"

namespace OSK
{
namespace
{
    int clampProgramIndex (int index, int count) noexcept
    {
        return juce::jlimit (0, juce::jmax (0, count - 1), index);
    }
} // namespace

void BaseProcessor::addProgram (const juce::String& name, const float* values, int count)
{
    auto& program = programs[static_cast<size_t> (numPrograms++)];
    program.name = name;
    std::copy (values, values + count, program.values.begin());
    program.numValues = count;
}

int BaseProcessor::getNumPrograms()
{
    // Hosts expect at least one program, even from a processor that has none.
    return juce::jmax (1, numPrograms);
}

int BaseProcessor::getCurrentProgram() { return currentProgram; }

void BaseProcessor::setCurrentProgram (int index)
{
    // Hosts select a program right after loading, which would overwrite the state they restore.
    if (ignoreNextProgramChange.exchange (false) || numPrograms == 0)
        return;

    currentProgram = clampProgramIndex (index, numPrograms);
    const auto& program = programs[static_cast<size_t> (currentProgram)];

    for (int k = 0; k < program.numValues; ++k)
        if (auto* parameter = valueTreeState.getParameter (parameterIds[static_cast<size_t> (k)]))
            parameter->setValueNotifyingHost (program.values[static_cast<size_t> (k)]);
}

const juce::String BaseProcessor::getProgramName (int index)
{
    if (numPrograms == 0)
        return {};

    return programs[static_cast<size_t> (clampProgramIndex (index, numPrograms))].name;
}

void BaseProcessor::changeProgramName (int, const juce::String&) {}

void BaseProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = valueTreeState.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void BaseProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->getTagName().equalsIgnoreCase (valueTreeState.state.getType().toString()))
        return;

    valueTreeState.replaceState (juce::ValueTree::fromXml (*xml));
}

} // namespace OSK
