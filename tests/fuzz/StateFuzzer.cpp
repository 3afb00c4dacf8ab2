// Fuzzes the plug-in state a host hands back: whatever the bytes, restoring them must not crash
// or hang, must leave every parameter finite and in range, and a blob that is not an acceptable
// state must change nothing.

#include "plugin/KelvaneProcessor.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
std::vector<float> valuesOf (OSK::KelvaneProcessor& processor)
{
    std::vector<float> values;

    for (auto* parameter : processor.getParameters())
        values.push_back (parameter->getValue());

    return values;
}

void check (bool condition)
{
    if (! condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Kept for the whole run and never torn down: the fuzzer leaves through exit(), where the
    // order of static destruction would delete JUCE's timer thread twice.
    static const auto* juceInitialiser = new juce::ScopedJuceInitialiser_GUI();
    juce::ignoreUnused (juceInitialiser);

    OSK::KelvaneProcessor processor;
    processor.ignoreNextProgramChange = false;
    processor.setCurrentProgram (3); // start from settings away from the defaults
    const auto before = valuesOf (processor);

    const auto length = static_cast<int> (std::min (size, static_cast<std::size_t> (1 << 24)));
    processor.setStateInformation (data, length);

    for (int i = 0; i < processor.numParameters; ++i)
    {
        const auto raw = processor.rawParameterValues[static_cast<size_t> (i)]->load();
        const auto& range = processor.valueTreeState.getParameter (processor.parameterIds[static_cast<size_t> (i)])->getNormalisableRange();
        check (std::isfinite (raw) && raw >= range.start && raw <= range.end);
    }

    for (const auto value : valuesOf (processor))
        check (std::isfinite (value) && value >= 0.0f && value <= 1.0f);

    if (OSK::BaseProcessor::readStateBlob (data, length, "OK") == nullptr)
        check (valuesOf (processor) == before);

    return 0;
}
