// Writes the fuzzer's seed corpus: the states of the six factory programs and of a few edited
// settings, as a host would store them.
//
//   kelvane_fuzz_seeds FOLDER

#include "plugin/KelvaneProcessor.h"

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    if (argc != 2)
        return 2;

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    folder.createDirectory();

    const auto write = [&folder] (OSK::KelvaneProcessor& processor, const juce::String& name) {
        juce::MemoryBlock state;
        processor.getStateInformation (state);
        folder.getChildFile (name).replaceWithData (state.getData(), state.getSize());
    };

    for (int program = 0; program < 6; ++program)
    {
        OSK::KelvaneProcessor processor;
        processor.ignoreNextProgramChange = false;
        processor.setCurrentProgram (program);
        write (processor, "program-" + juce::String (program));
    }

    OSK::KelvaneProcessor edited;
    juce::Random random (3);

    for (auto* parameter : edited.getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());

    write (edited, "random-values");
    return 0;
}
