#include "plugin/KelvaneProcessor.h"

/** The entry point JUCE's plug-in wrappers call to create the processor. */
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new OSK::KelvaneProcessor();
}
