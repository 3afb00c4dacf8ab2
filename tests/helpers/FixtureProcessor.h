#pragma once

// A minimal product on the framework's processor: a handful of parameters registered by the
// test, and an engine that records what it is told instead of processing sound.

#include "osk_base_processor/BaseProcessor.h"

#include <functional>
#include <utility>
#include <vector>

namespace KelvaneTest
{
class RecordingDsp : public OSK::BaseDsp
{
public:
    using OSK::BaseDsp::BaseDsp;

    void prepareToPlay (double rate, int block, int ins, int outs) override
    {
        sampleRate = rate;
        blockSize = block;
        numInputChannels = ins;
        numOutputChannels = outs;
        latencySamples = latencyAfterPreparation;
        ++preparations;
    }

    void releaseResources() override {}
    void parameterChanged (int index, float value) override { received.emplace_back (index, value); }

    void processFloat (int numSamples, const float* const*, float* const*) noexcept override { processed.push_back (numSamples); }
    void processDouble (int numSamples, const double* const*, double* const*) noexcept override { processed.push_back (numSamples); }

    void processBypassedFloat (int numSamples, const float* const*, float* const* outputs) noexcept override
    {
        bypassed.push_back (numSamples);

        for (int c = 0; c < numOutputChannels; ++c)
            for (int i = 0; i < numSamples; ++i)
                outputs[c][i] = bypassMarker;
    }

    void processBypassedDouble (int numSamples, const double* const*, double* const*) noexcept override { bypassed.push_back (numSamples); }

    double getMeterValue (int) const noexcept override { return 0.0; }
    double getHostMeterValue (int index) const noexcept override { return hostMeterValue * (index + 1); }

    int latencyAfterPreparation = 0;
    int preparations = 0;
    double hostMeterValue = 0.0;
    static constexpr float bypassMarker = 0.25f;
    std::vector<std::pair<int, float>> received;
    std::vector<int> processed;
    std::vector<int> bypassed;
};

class FixtureProcessor : public OSK::BaseProcessor
{
public:
    using Registration = std::function<void (FixtureProcessor&)>;

    explicit FixtureProcessor (Registration registrationToUse)
        : registration (std::move (registrationToUse))
        , engine (*this)
    {
        dsp = &engine;
        registerParametersAndPrograms();
    }

    void createParameters() override { registration (*this); }
    void parameterChanged (int index, float value) override { ownReceived.emplace_back (index, value); }

    using OSK::BaseProcessor::createChoicesParameter;
    using OSK::BaseProcessor::createFloatParameter;
    using OSK::BaseProcessor::createHostMeter;
    using OSK::BaseProcessor::createParameterLink;

    /** Sets a parameter the way an editor gesture or host automation does. */
    void set (const juce::String& id, float normalised)
    {
        valueTreeState.getParameter (id)->setValueNotifyingHost (normalised);
    }

    [[nodiscard]] float get (const juce::String& id) const { return valueTreeState.getParameter (id)->getValue(); }

    /** Runs one audio block of stereo silence. */
    void runBlock (int numSamples = 16)
    {
        juce::AudioBuffer<float> buffer (2, numSamples);
        buffer.clear();
        juce::MidiBuffer midi;
        processBlock (buffer, midi);
    }

    Registration registration;
    RecordingDsp engine;
    std::vector<std::pair<int, float>> ownReceived;
};

} // namespace KelvaneTest
