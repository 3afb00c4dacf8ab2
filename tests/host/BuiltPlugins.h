#pragma once

// The plug-in binaries this build produced, loaded through JUCE's hosting as a workstation loads
// them, and a few helpers to drive them the way a host does.

#include "plugin_host/PluginHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace KelvaneTest
{
enum class Format
{
    vst3,
    lv2
};

inline void PrintTo (Format format, std::ostream* os) { *os << (format == Format::vst3 ? "VST3" : "LV2"); }

inline std::string formatName (const ::testing::TestParamInfo<Format>& info)
{
    return info.param == Format::vst3 ? "VST3" : "LV2";
}

/** Loads the built VST3 or LV2 at the given rate and block size; null with a message on failure. */
inline std::unique_ptr<juce::AudioPluginInstance> loadBuiltPlugin (KelvaneHost::PluginHost& host, Format format,
                                                                   double sampleRate, int blockSize, juce::String& error)
{
    return format == Format::vst3
             ? host.loadVst3 (juce::File (KELVANE_VST3_BUNDLE), sampleRate, blockSize, error)
             : host.loadLv2 (juce::File (KELVANE_LV2_BUNDLE).getParentDirectory(), KELVANE_LV2_URI, sampleRate, blockSize, error);
}

inline juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (100) == name)
            return p;

    return nullptr;
}

/** Runs a hosted plug-in block by block on planar stereo signals. */
class HostedRunner
{
public:
    HostedRunner (Format f, double rate, int block = 512, bool doublePrecision = false)
        : format (f), sampleRate (rate), blockSize (block)
    {
        juce::String error;
        plugin = loadBuiltPlugin (host, format, sampleRate, blockSize, error);

        if (plugin == nullptr)
        {
            ADD_FAILURE() << error;
            return;
        }

        if (doublePrecision)
            plugin->setProcessingPrecision (juce::AudioProcessor::doublePrecision);

        plugin->prepareToPlay (sampleRate, blockSize);
    }

    ~HostedRunner()
    {
        if (plugin != nullptr)
            plugin->releaseResources();
    }

    [[nodiscard]] bool loaded() const { return plugin != nullptr; }

    /** Sets a parameter's normalised value as host automation does. */
    void set (const juce::String& name, float normalised)
    {
        auto* parameter = findParameter (*plugin, name);
        ASSERT_NE (parameter, nullptr) << name;
        parameter->setValueNotifyingHost (normalised);
    }

    /** Lets the parameters arrive and every glide finish, then runs silence until the equaliser's
        kernels are in place. A VST3 host's new preparation with the same settings starts the
        plug-in from rest with its working values at their targets. JUCE's LV2 host makes a new
        instance on every preparation and restores its state into it, so there the glides are
        simply left to run for a second (to within e^-20). */
    void settle()
    {
        runSilence (static_cast<size_t> (blockSize));

        if (format == Format::vst3)
        {
            plugin->releaseResources();
            plugin->prepareToPlay (sampleRate, blockSize);
        }
        else
        {
            runSilence (static_cast<size_t> (sampleRate));
        }

        runSilence (4096);
    }

    /** How far a settled plug-in may be from its targets: nothing for VST3, the glides' remainder for LV2. */
    [[nodiscard]] double settlingError() const { return format == Format::vst3 ? 0.0 : 1.0e-7; }

    /** Processes silence in the precision the plug-in was prepared for. */
    void runSilence (size_t length)
    {
        if (plugin->isUsingDoublePrecision())
            process (std::vector<double> (length), std::vector<double> (length));
        else
            process (std::vector<float> (length), std::vector<float> (length));
    }

    /** Processes in place, in blocks of the prepared size; bypassBlock decides per block whether the
        host bypasses it. */
    template <typename Sample>
    void process (std::vector<Sample> left, std::vector<Sample> right, std::vector<Sample>* outLeft = nullptr,
                  std::vector<Sample>* outRight = nullptr, std::function<bool (int)> bypassBlock = {})
    {
        juce::AudioBuffer<Sample> buffer (2, blockSize);
        juce::MidiBuffer midi;
        int blockIndex = 0;

        for (size_t start = 0; start < left.size(); start += static_cast<size_t> (blockSize), ++blockIndex)
        {
            const auto length = static_cast<int> (std::min (left.size() - start, static_cast<size_t> (blockSize)));
            buffer.setSize (2, length, false, false, true);
            std::copy_n (left.begin() + static_cast<long> (start), length, buffer.getWritePointer (0));
            std::copy_n (right.begin() + static_cast<long> (start), length, buffer.getWritePointer (1));

            const bool bypass = bypassBlock && bypassBlock (blockIndex);

            if (format == Format::vst3)
            {
                if (bypass)
                    plugin->processBlockBypassed (buffer, midi);
                else
                    plugin->processBlock (buffer, midi);
            }
            else
            {
                // An LV2 host bypasses through the wrapper's "Bypass" control and keeps running it.
                if (auto* bypassParameter = findParameter (*plugin, "Bypass"))
                    if (bypassParameter->getValue() != (bypass ? 1.0f : 0.0f))
                        bypassParameter->setValueNotifyingHost (bypass ? 1.0f : 0.0f);

                plugin->processBlock (buffer, midi);
            }

            std::copy_n (buffer.getReadPointer (0), length, left.begin() + static_cast<long> (start));
            std::copy_n (buffer.getReadPointer (1), length, right.begin() + static_cast<long> (start));
        }

        if (outLeft != nullptr)
            *outLeft = std::move (left);

        if (outRight != nullptr)
            *outRight = std::move (right);
    }

    Format format;
    double sampleRate;
    int blockSize;
    KelvaneHost::PluginHost host;
    std::unique_ptr<juce::AudioPluginInstance> plugin;
};

} // namespace KelvaneTest
