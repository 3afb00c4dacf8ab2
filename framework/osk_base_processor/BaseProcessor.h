#pragma once

#include "osk_base_processor/BaseDsp.h"
#include "osk_base_processor/ParameterLink.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <functional>
#include <vector>

namespace OSK
{
/** The framework's audio processor: the object a host talks to through JUCE's plug-in wrappers.

    It owns the parameter registry (every parameter known by a small index, by its ID and as a
    JUCE parameter object in the value tree state), the program table and the state handling, and
    it drives one engine through BaseDsp. A product derives from it, creates its engine, stores it
    in `dsp` and then calls registerParametersAndPrograms() from its constructor.
*/
class BaseProcessor : public juce::AudioProcessor
{
public:
    static constexpr int maxParameters = 64;
    static constexpr int maxHostMeters = 64;
    static constexpr int maxPrograms = 32;

    /** The host's category for a gain-reduction meter. */
    enum class HostMeterType
    {
        CompressorLimiterGainReduction,
        ExpanderGateGainReduction
    };

    /** A factory program: normalised values in parameter-index order. */
    struct Program
    {
        juce::String name;
        std::array<float, maxParameters> values {};
        int numValues = 0;
    };

    using ValueToText = std::function<juce::String (float, int)>;
    using TextToValue = std::function<float (const juce::String&)>;

    BaseProcessor();
    ~BaseProcessor() override;

    //==============================================================================
    /** Registers all parameters, host meters and links of the product (message thread, once). */
    virtual void createParameters() = 0;

    /** Called on the audio thread after the engine has received a changed value. */
    virtual void parameterChanged (int index, float value);

    /** Appends the product's factory programs (message thread, once). */
    virtual void createPresets();

    /** Sets a parameter as one host gesture (message thread). */
    virtual void setParameterValue (int index, float value);

    //==============================================================================
    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlock (juce::AudioBuffer<double>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed (juce::AudioBuffer<double>& buffer, juce::MidiBuffer& midi) override;
    bool supportsDoublePrecisionProcessing() const override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** The XML of a state blob if the blob is acceptable: magic "VC2!", a non-zero length, XML
        that parses and whose root tag is rootTag (ignoring case); otherwise null. */
    [[nodiscard]] static std::unique_ptr<juce::XmlElement> readStateBlob (const void* data, int sizeInBytes,
                                                                          const juce::String& rootTag);

    //==============================================================================
    /** Hands every parameter that moved since the last block to the engine and publishes the
        host meters (audio thread, start of every block). */
    void updateParameters() noexcept;

    std::atomic<bool> ignoreNextProgramChange { true };
    std::atomic<bool> forceParameterUpdate { false };
    BaseDsp* dsp = nullptr;
    std::atomic<double> lastSampleRate { 0.0 };
    std::atomic<int> lastBlockSize { 0 };
    std::atomic<int> lastNumInputChannels { 0 };
    std::atomic<int> lastNumOutputChannels { 0 };

    juce::AudioProcessorValueTreeState valueTreeState;
    std::array<juce::String, maxParameters> parameterIds;
    std::array<std::atomic<float>*, maxParameters> rawParameterValues {};
    std::array<float, maxParameters> lastParameterValues {};
    int numParameters = 0;
    std::array<juce::RangedAudioParameter*, maxHostMeters> hostMeterParameters {};
    std::array<juce::String, maxHostMeters> hostMeterIds;
    int numHostMeters = 0;

    std::array<Program, maxPrograms> programs;
    int numPrograms = 0;
    int currentProgram = 0;

    /** Every link created through createParameterLink; the product owns them. */
    std::vector<ParameterLink*> parameterLinks;

protected:
    /** Runs the registration steps that need the product's overrides: parameters, the empty state
        tree, then the programs. Products call it at the end of their constructor, after `dsp` is set. */
    void registerParametersAndPrograms();

    /** Registers a float parameter whose text shows the value on the linear range displayMin..displayMax. */
    void createFloatParameter (int index, const juce::String& id, float defaultValue, float displayMin,
                               float displayMax, const juce::String& suffix, bool meta);

    /** Registers a float parameter with its own text functions. */
    void createFloatParameter (int index, const juce::String& id, float defaultValue,
                               ValueToText valueToText, TextToValue textToValue);

    /** The common step of both float registrations. */
    void createFloatParameter_ (int index, const juce::String& id, float defaultValue,
                                const juce::AudioParameterFloatAttributes& attributes);

    /** Registers a choice parameter; the engine receives the choice index. */
    void createChoicesParameter (int index, const juce::String& id, const juce::StringArray& choices,
                                 int defaultIndex, bool meta);

    /** Registers a host gain-reduction meter. */
    void createHostMeter (int index, const juce::String& id, HostMeterType type);

    /** Creates a disabled link between two registered parameters; the caller owns it. */
    [[nodiscard]] ParameterLink* createParameterLink (int firstIndex, int secondIndex, ParameterLink::Type type,
                                                      ParameterLink::Direction direction);

    /** Appends a program to the table (construction only). */
    void addProgram (const juce::String& name, const float* values, int count);

private:
    template <typename Sample>
    void processEngineBlock (juce::AudioBuffer<Sample>& buffer) noexcept;

    template <typename Sample>
    void processBypassedBlock (juce::AudioBuffer<Sample>& buffer) noexcept;

    void registerParameter (int index, const juce::String& id, float defaultRawValue);

    /** Keeps every link from moving partners while a program or a state is applied: the links
        only follow the values, so each parameter lands on its stored value. */
    class ScopedLinkHold;

    /** Makes a state safe and complete to apply: a value that is not a finite number is dropped,
        so its parameter takes its default; a number is limited to its parameter's range; a
        parameter the state does not mention keeps its current value. */
    void sanitiseStateValues (juce::XmlElement& state) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BaseProcessor)
};

} // namespace OSK
