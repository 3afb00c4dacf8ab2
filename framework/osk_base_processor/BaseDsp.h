#pragma once

namespace OSK
{
class BaseProcessor;

/** The interface between a processor and its audio engine.

    The processor records nothing about the audio itself: it prepares the engine, hands it every
    changed parameter value between blocks and lets it process each block in place. All calls
    except construction and prepareToPlay come from the audio thread, one after the other.
*/
class BaseDsp
{
public:
    /** Creates an engine for the given processor (message thread). */
    explicit BaseDsp (BaseProcessor& owner) noexcept : processor (owner) {}
    virtual ~BaseDsp();

    /** Records the playback settings and sizes everything for them; latencySamples is final when
        this returns. Never runs concurrently with processing. */
    virtual void prepareToPlay (double newSampleRate, int maximumBlockSize, int numIns, int numOuts) = 0;

    /** Lets the engine drop what it no longer needs while stopped. */
    virtual void releaseResources() = 0;

    /** Receives the live value of a parameter: the normalised value of a float parameter, the
        index of a choice parameter (audio thread, between blocks). */
    virtual void parameterChanged (int index, float value) = 0;

    /** Processes a block in place; inputs and outputs are usually the same channel array (audio thread). */
    virtual void processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept = 0;
    virtual void processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept = 0;

    /** Produces the output of a host bypass: the input delayed by the reported latency (audio thread). */
    virtual void processBypassedFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept = 0;
    virtual void processBypassedDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept = 0;

    /** The display value of one editor meter (message thread). */
    [[nodiscard]] virtual double getMeterValue (int meterIndex) const noexcept = 0;

    /** The value of one host gain-reduction meter, 0 meaning no reduction (audio thread). */
    [[nodiscard]] virtual double getHostMeterValue (int hostMeterIndex) const noexcept = 0;

    int latencySamples = 0;
    int blockSize = 0;
    double sampleRate = 0.0;
    int numInputChannels = 0;
    int numOutputChannels = 0;
    BaseProcessor& processor;
};

} // namespace OSK
