#include "ChainSettings.h"

#include "osk_base_processor/NumberText.h"
#include "ParameterAssignment.h"
#include "RenderError.h"

#include "plugin/KelvanePrograms.h"

#include <cmath>

namespace KelvaneRender
{
namespace
{
    [[noreturn]] void fail (const juce::String& message) { throw RenderError (message.toStdString()); }

    /** One short block of silence: it pushes the parameters to the engine, which switches the
        band links, as the next audio block in a host would. */
    void runBlock (OSK::KelvaneProcessor& processor)
    {
        juce::AudioBuffer<double> buffer (2, 64);
        buffer.clear();
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    }

    bool isStateBlob (const juce::MemoryBlock& block)
    {
        return OSK::BaseProcessor::readStateBlob (block.getData(), static_cast<int> (block.getSize()), "OK") != nullptr;
    }
} // namespace

ChainSettings::ChainSettings (const RenderOptions& options)
    : processor (std::make_unique<OSK::KelvaneProcessor>())
{
    processor->prepareToPlay (44100.0, 64);
    runBlock (*processor);

    juce::StringArray parts;

    if (options.program.isNotEmpty())
    {
        const auto index = findProgram (options.program);
        processor->setCurrentProgram (index);
        runBlock (*processor);
        parts.add ("program " + processor->getProgramName (index));
    }

    if (options.stateFile.isNotEmpty())
    {
        const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (options.stateFile));
        const auto blob = readStateFile (file);
        processor->setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
        runBlock (*processor);
        parts.add ("state " + file.getFileName());
    }

    if (parts.isEmpty())
        parts.add ("program " + processor->getProgramName (0));

    for (const auto& setting : options.settings)
    {
        auto& parameter = findParameter (*processor, setting.id);
        const auto value = valueForText (parameter, setting.text);

        parameter.beginChangeGesture();
        parameter.setValueNotifyingHost (value);
        parameter.endChangeGesture();
        runBlock (*processor);

        parts.add (parameter.getParameterID() + "=" + parameter.getCurrentValueAsText());
    }

    processor->getStateInformation (state);
    description = parts.joinIntoString (", ");
}

ChainSettings::~ChainSettings() = default;

void ChainSettings::applyTo (OSK::KelvaneProcessor& target) const
{
    target.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
}

float ChainSettings::getValue (const juce::String& id) const
{
    return findParameter (*processor, id).getValue();
}

juce::String ChainSettings::getText (const juce::String& id) const
{
    return findParameter (*processor, id).getCurrentValueAsText();
}

juce::String ChainSettings::getText (const juce::String& id, float value) const
{
    return findParameter (*processor, id).getText (value, 0);
}

bool ChainSettings::stageIsActive (const juce::String& bypassId) const
{
    return getValue ("Power") >= 0.5f && getValue (bypassId) < 0.5f;
}

juce::String ChainSettings::listParameters() const
{
    juce::String text;

    for (int i = 0; i < processor->numParameters; ++i)
    {
        auto& parameter = findParameter (*processor, processor->parameterIds[static_cast<size_t> (i)]);
        auto range = parameter.getText (0.0f, 0) + " to " + parameter.getText (1.0f, 0);

        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (&parameter))
            range = choice->choices.joinIntoString (", ");

        text << juce::String (i).paddedLeft (' ', 2) << "  " << parameter.getParameterID().paddedRight (' ', 10)
             << "  " << parameter.getCurrentValueAsText().paddedRight (' ', 8) << "  (" << range << ")\n";
    }

    return text;
}

juce::String ChainSettings::listPrograms()
{
    juce::String text;

    for (size_t i = 0; i < OSK::kelvaneFactoryPrograms.size(); ++i)
        text << juce::String (static_cast<int> (i) + 1) << "  " << OSK::kelvaneFactoryPrograms[i].name << "\n";

    return text;
}

int ChainSettings::findProgram (const juce::String& nameOrNumber)
{
    const auto count = static_cast<int> (OSK::kelvaneFactoryPrograms.size());

    for (int i = 0; i < count; ++i)
        if (nameOrNumber.trim().equalsIgnoreCase (OSK::kelvaneFactoryPrograms[static_cast<size_t> (i)].name))
            return i;

    if (const auto number = OSK::NumberText::wholeNumber (nameOrNumber))
        if (*number >= 1.0 && *number <= count && *number == std::floor (*number))
            return static_cast<int> (*number) - 1;

    juce::StringArray names;

    for (const auto& program : OSK::kelvaneFactoryPrograms)
        names.add (program.name);

    fail ("unknown program \"" + nameOrNumber + "\"; the programs are " + names.joinIntoString (", ")
          + " (or their numbers 1 to " + juce::String (count) + ")");
}

juce::MemoryBlock ChainSettings::readStateFile (const juce::File& file)
{
    if (! file.existsAsFile())
        fail ("state file " + file.getFullPathName() + ": no such file");

    juce::MemoryBlock block;

    if (! file.loadFileAsData (block))
        fail ("state file " + file.getFullPathName() + ": cannot be read");

    if (isStateBlob (block))
        return block;

    // Hosts that store projects as text keep the blob as base64.
    juce::MemoryBlock decoded;
    bool decodes = false;

    {
        juce::MemoryOutputStream out (decoded, false);
        decodes = juce::Base64::convertFromBase64 (out, block.toString().trim());
    }

    if (decodes && isStateBlob (decoded))
        return decoded;

    fail ("state file " + file.getFullPathName() + ": not a Kelvane state");
}

} // namespace KelvaneRender
