#include "osk_base_processor/BaseProcessor.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace OSK
{
namespace
{
    /** Sample rates that differ only by rounding count as the same setting. */
    bool sampleRatesMatch (double a, double b) noexcept
    {
        if (! std::isfinite (a) || ! std::isfinite (b))
            return a == b;

        const auto difference = std::abs (a - b);
        return difference <= std::numeric_limits<double>::min()
            || difference <= std::numeric_limits<double>::epsilon() * std::max (std::abs (a), std::abs (b));
    }
} // namespace

BaseProcessor::BaseProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , valueTreeState (*this, nullptr)
{
}

BaseProcessor::~BaseProcessor() = default;

void BaseProcessor::registerParametersAndPrograms()
{
    jassert (dsp != nullptr);
    createParameters();
    valueTreeState.state = juce::ValueTree ("OK");
    createPresets();
}

void BaseProcessor::parameterChanged (int, float) {}

void BaseProcessor::createPresets() {}

//==============================================================================
const juce::String BaseProcessor::getName() const { return JucePlugin_Name; }

void BaseProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    const auto numIns = getTotalNumInputChannels();
    const auto numOuts = getTotalNumOutputChannels();

    // The first preparation starts from the defaults the engine was built with; only a later
    // change of the playback settings makes the next block push every parameter again.
    if (lastSampleRate.load() == 0.0)
        ignoreNextProgramChange = true;
    else if (! sampleRatesMatch (sampleRate, lastSampleRate.load())
             || maximumExpectedSamplesPerBlock != lastBlockSize.load()
             || numIns != lastNumInputChannels.load()
             || numOuts != lastNumOutputChannels.load())
        forceParameterUpdate = true;

    lastSampleRate = sampleRate;
    lastBlockSize = maximumExpectedSamplesPerBlock;
    lastNumInputChannels = numIns;
    lastNumOutputChannels = numOuts;

    dsp->prepareToPlay (sampleRate, maximumExpectedSamplesPerBlock, numIns, numOuts);
    setLatencySamples (dsp->latencySamples);
}

void BaseProcessor::releaseResources() {}

template <typename Sample>
void BaseProcessor::processEngineBlock (juce::AudioBuffer<Sample>& buffer) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    ignoreNextProgramChange = false;
    updateParameters();

    auto* const* channels = buffer.getArrayOfWritePointers();

    if constexpr (std::is_same_v<Sample, float>)
        dsp->processFloat (buffer.getNumSamples(), channels, channels);
    else
        dsp->processDouble (buffer.getNumSamples(), channels, channels);
}

template <typename Sample>
void BaseProcessor::processBypassedBlock (juce::AudioBuffer<Sample>& buffer) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (getLatencySamples() != 0)
    {
        auto* const* channels = buffer.getArrayOfWritePointers();

        if constexpr (std::is_same_v<Sample, float>)
            dsp->processBypassedFloat (buffer.getNumSamples(), channels, channels);
        else
            dsp->processBypassedDouble (buffer.getNumSamples(), channels, channels);

        return;
    }

    // Without latency the input passes as it is; outputs that have no input must not carry
    // whatever the host left in them.
    const auto lastOutput = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());

    for (int channel = getMainBusNumInputChannels(); channel < lastOutput; ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());
}

void BaseProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) { processEngineBlock (buffer); }
void BaseProcessor::processBlock (juce::AudioBuffer<double>& buffer, juce::MidiBuffer&) { processEngineBlock (buffer); }
void BaseProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&) { processBypassedBlock (buffer); }
void BaseProcessor::processBlockBypassed (juce::AudioBuffer<double>& buffer, juce::MidiBuffer&) { processBypassedBlock (buffer); }

bool BaseProcessor::supportsDoublePrecisionProcessing() const { return true; }
double BaseProcessor::getTailLengthSeconds() const { return 0.0; }
bool BaseProcessor::acceptsMidi() const { return false; }
bool BaseProcessor::producesMidi() const { return false; }
bool BaseProcessor::isMidiEffect() const { return false; }
juce::AudioProcessorEditor* BaseProcessor::createEditor() { return new juce::GenericAudioProcessorEditor (*this); }
bool BaseProcessor::hasEditor() const { return true; }

bool BaseProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& in = layouts.getMainInputChannelSet();
    const auto& out = layouts.getMainOutputChannelSet();

    return ! in.isDisabled() && ! out.isDisabled() && in.size() <= 2 && out.size() <= 2 && in == out;
}

} // namespace OSK
