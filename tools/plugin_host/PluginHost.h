#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace KelvaneHost
{
/** Loads plug-in binaries through JUCE's VST3 and LV2 hosting, as a digital audio workstation
    would. Message thread only. */
class PluginHost
{
public:
    PluginHost();

    /** Loads the VST3 bundle at the given path; null with an error text on failure. */
    [[nodiscard]] std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle, double sampleRate,
                                                                       int blockSize, juce::String& error);

    /** Loads the LV2 plug-in with the given URI from bundles found in the given folder. */
    [[nodiscard]] std::unique_ptr<juce::AudioPluginInstance> loadLv2 (const juce::File& bundleFolder,
                                                                      const juce::String& uri, double sampleRate,
                                                                      int blockSize, juce::String& error);

private:
    std::unique_ptr<juce::AudioPluginInstance> instantiate (juce::AudioPluginFormat& format,
                                                            const juce::String& identifier, double sampleRate,
                                                            int blockSize, juce::String& error);

    juce::VST3PluginFormat vst3;
    juce::LV2PluginFormat lv2;
};

/** A few lines on what a host sees of a plug-in: name, buses, latency after preparation,
    parameter count. Prepares and releases the instance. */
[[nodiscard]] juce::String describe (juce::AudioPluginInstance& plugin, double sampleRate, int blockSize);

} // namespace KelvaneHost
