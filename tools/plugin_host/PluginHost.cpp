#include "plugin_host/PluginHost.h"

namespace KelvaneHost
{
PluginHost::PluginHost() = default;

std::unique_ptr<juce::AudioPluginInstance> PluginHost::instantiate (juce::AudioPluginFormat& format,
                                                                    const juce::String& identifier,
                                                                    double sampleRate, int blockSize,
                                                                    juce::String& error)
{
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, identifier);

    if (found.isEmpty())
    {
        error = "no " + format.getName() + " plug-in found at " + identifier;
        return nullptr;
    }

    return format.createInstanceFromDescription (*found.getFirst(), sampleRate, blockSize, error);
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::loadVst3 (const juce::File& bundle, double sampleRate,
                                                                 int blockSize, juce::String& error)
{
    return instantiate (vst3, bundle.getFullPathName(), sampleRate, blockSize, error);
}

std::unique_ptr<juce::AudioPluginInstance> PluginHost::loadLv2 (const juce::File& bundleFolder,
                                                                const juce::String& uri, double sampleRate,
                                                                int blockSize, juce::String& error)
{
    // JUCE's LV2 world only knows the standard folders until it is told about others.
    lv2.searchPathsForPlugins (juce::FileSearchPath (bundleFolder.getFullPathName()), true, false);
    return instantiate (lv2, uri, sampleRate, blockSize, error);
}

namespace
{
    juce::String describeBuses (juce::AudioPluginInstance& plugin, bool isInput)
    {
        juce::StringArray buses;

        for (int i = 0; i < plugin.getBusCount (isInput); ++i)
            if (auto* bus = plugin.getBus (isInput, i))
                buses.add (bus->getName() + " (" + bus->getCurrentLayout().getDescription() + ")");

        return buses.isEmpty() ? juce::String ("none") : buses.joinIntoString (", ");
    }
} // namespace

juce::String describe (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize)
{
    // A plug-in reports a changed latency to its host between blocks, as hosts see it.
    plugin.setRateAndBufferSizeDetails (sampleRate, blockSize);
    plugin.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> silence (juce::jmax (plugin.getTotalNumInputChannels(), plugin.getTotalNumOutputChannels()), blockSize);
    silence.clear();
    juce::MidiBuffer midi;
    plugin.processBlock (silence, midi);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    const auto latency = plugin.getLatencySamples();
    plugin.releaseResources();

    juce::StringArray lines;
    lines.add ("name:       " + plugin.getName() + " (" + plugin.getPluginDescription().pluginFormatName + ", "
               + plugin.getPluginDescription().manufacturerName + ", version "
               + plugin.getPluginDescription().version + ")");
    lines.add ("inputs:     " + describeBuses (plugin, true));
    lines.add ("outputs:    " + describeBuses (plugin, false));
    lines.add ("latency:    " + juce::String (latency) + " samples at " + juce::String (sampleRate, 0) + " Hz");
    lines.add ("parameters: " + juce::String (plugin.getParameters().size()));
    juce::StringArray programs;

    for (int i = 0; i < plugin.getNumPrograms(); ++i)
        programs.add (plugin.getProgramName (i));

    lines.add ("programs:   " + programs.joinIntoString (", "));
    return lines.joinIntoString ("\n");
}

} // namespace KelvaneHost
