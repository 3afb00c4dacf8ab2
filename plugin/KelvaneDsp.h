#pragma once

#include "osk_base_processor/BaseDsp.h"
#include "osk_dsp/CascadeMagnitude.h"
#include "osk_dsp/CircularBuffer.h"
#include "osk_dsp/KernelSynthesiser.h"
#include "osk_dsp/PartitionedConvolver.h"
#include "osk_dsp/SlidingWindowMax.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <atomic>
#include <complex>
#include <memory>
#include <mutex>
#include <vector>

namespace OSK
{
/** The Kelvane engine: expander, two-channel equaliser, compressor and look-ahead limiter, run
    sample by sample in double precision with a fixed latency of 2689 samples.

    Nearly every quantity the audio path uses is a working value: a target set when a parameter
    changes and a current value that glides toward it with a 50 ms one-pole once per sample, so
    that no change clicks. The audio side (preparation, processing, bypass, meters) lives in
    KelvaneDsp.cpp, the parameter side (the mapping rows, the setters and the defaults) in
    KelvaneDspParameters.cpp. The state is kept in plain members, in the order of the design, so
    that meters and tests can read it.
*/
class KelvaneDsp : public BaseDsp
{
public:
    static constexpr int numChannels = 2;
    static constexpr int totalLatency = 2689;   ///< equaliser plus limiter, at every rate and mode
    static constexpr int equaliserLatency = 1537;
    static constexpr int limiterLatency = 1152;
    static constexpr int maxFirLength = 3073;
    static constexpr int maxLookahead = 1152;
    static constexpr int maxParameterIndex = 64;

    /** Indices of the 73 working values; the equaliser addresses its coefficient block by position. */
    enum WorkingValue : int
    {
        power = 0,
        eqMode = 1,
        inMatrix = 2,    ///< four values: first = w2·in0 + w3·in1, second = w4·in0 + w5·in1
        outMatrix = 6,   ///< four values: out0 = w6·eq0 + w7·eq1, out1 = w8·eq0 + w9·eq1
        midBiquads = 10, ///< five sections of five coefficients, first equaliser channel
        sideBiquads = 35,
        midGain = 60,
        sideGain,
        expanderRatio,
        expanderThreshold,
        expanderBypass,
        compressorThreshold,
        compressorSlope,
        compressorMakeup,
        compressorBypass,
        limiterInputGain,
        limiterCeiling,
        limiterOutputGain,
        limiterBypass,
        numWorkingValues
    };

    /** The equaliser's sizes for a sample rate: FIR length N, DFT size M and centre tap D. */
    struct EqualiserSizes
    {
        int firLength;
        int fftSize;
        int centre;
    };

    [[nodiscard]] static EqualiserSizes equaliserSizesFor (double sampleRate) noexcept;

    /** The limiter's look-ahead L in samples: 3 ms, at most 1152. */
    [[nodiscard]] static int lookaheadFor (double sampleRate) noexcept;

    explicit KelvaneDsp (BaseProcessor& owner);
    ~KelvaneDsp() override;

    //==============================================================================
    void prepareToPlay (double newSampleRate, int maximumBlockSize, int numIns, int numOuts) override;
    void releaseResources() override;
    void parameterChanged (int index, float value) override;
    void processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept override;
    void processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept override;
    void processBypassedFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept override;
    void processBypassedDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept override;
    [[nodiscard]] double getMeterValue (int meterIndex) const noexcept override;
    [[nodiscard]] double getHostMeterValue (int hostMeterIndex) const noexcept override;

    //==============================================================================
    /** Designs one equaliser band from the normalised value of its gain parameter and refreshes
        the channel's spectrum (audio thread, between blocks; preparation). */
    void setEqBand (int channel, int band, bool bypassed, float value);

    /** Sets one equaliser channel's output gain from the normalised value of its gain parameter. */
    void setEqGain (int channel, bool bypassed, float value) noexcept;

    /** Sets the input and output matrices for left/right or mid/side and the two solos. */
    void setSolo (bool midSide, bool firstSolo, bool secondSolo) noexcept;

    /** Kernel maintenance, once per sample before the equaliser runs: computes one tap of a
        pending kernel per channel and installs the kernel when it is complete. Never waits. */
    void processFIRUpdate() noexcept;

    /** Runs both equaliser channels for one sample: in[0], in[1] after the input matrix, out
        delayed by 1537 samples in either mode. */
    void processEQ (const double* in, double* out) noexcept;

    //==============================================================================
    /** Sets the compressor threshold from its normalised value, and the automatic make-up with it. */
    void setCompressorThresh (float value) noexcept;

    /** Sets the compressor slope from the normalised ratio, and the automatic make-up with it. */
    void setCompressorRatio (float value) noexcept;

    /** Switches the automatic make-up on (the choice index 1) or back to the manual make-up. */
    void setCompressorAutoGain (float value) noexcept;

    /** The limiter for one sample: look-ahead gain from the averaged window peaks, ceiling, drive
        and output gain; out is delayed by 1152 samples at every rate. */
    void processLimiter (const double* in, double* out) noexcept;

    /** Puts every target and time coefficient at the values the parameter defaults give. */
    void setDefaultParameters();

    /** An input sample as the chain takes it in. A faulty upstream plug-in can send NaN or
        infinities; one of them in a detector, a filter state or the limiter's history would
        silence the output for good, so it enters as silence. Finite samples are limited to about
        +120 dBFS, far beyond any real signal yet small enough that no square or sum of the chain
        can overflow. */
    [[nodiscard]] static double sanitisedInput (double x) noexcept
    {
        constexpr double inputLimit = 1.0e6;
        return std::isfinite (x) ? std::clamp (x, -inputLimit, inputLimit) : 0.0;
    }

    /** The one-pole coefficient of a time constant in seconds at the current rate (1 before preparation). */
    [[nodiscard]] double timeCoefficient (double seconds) const noexcept;

    //==============================================================================
    std::atomic<bool> powerOn { true };
    std::array<float, maxParameterIndex> receivedValues {};
    double smoothingCoefficient = 1.0;
    std::array<double, numWorkingValues> currentValues {};
    std::array<double, numWorkingValues> targetValues {};

    /** The equaliser's filter state: s1 and s2 of each of the five sections, per channel. */
    std::array<std::array<double, 10>, numChannels> eqFilterState {};
    std::array<std::array<double, maxFirLength>, numChannels> activeKernel {};
    std::array<std::array<double, maxFirLength>, numChannels> nextKernel {};

    std::unique_ptr<DSP::CircularBuffer> firHistory;
    std::unique_ptr<DSP::CircularBuffer> eqPreDelay;
    std::unique_ptr<DSP::CircularBuffer> limiterLookahead;
    std::unique_ptr<DSP::CircularBuffer> limiterPeakHistory;
    std::unique_ptr<DSP::CircularBuffer> limiterPostDelay;

    /** A spectrum refresh came in that no kernel has been synthesised from yet. Set under the
        channel's lock; read without it to skip the lock while there is nothing to do. */
    std::array<std::atomic<bool>, numChannels> kernelUpdatePending {};
    /** A kernel has been synthesised and waits the rest of its N samples to be installed. */
    std::array<bool, numChannels> kernelSynthesising {};
    std::array<int, numChannels> kernelTapCounter {};
    std::array<std::mutex, numChannels> kernelLocks;
    /** The magnitude responses |H_k| of the two channels' cascades, k = 0 .. M/2. */
    std::array<DSP::CascadeMagnitude, numChannels> cascadeMagnitudes;
    /** Turns a magnitude response into a windowed linear-phase kernel centred on firCentre. */
    DSP::KernelSynthesiser kernelSynthesiser;
    /** The FIR path: each channel's active kernel applied with no added latency. */
    std::array<DSP::PartitionedConvolver, numChannels> convolvers;
    /** The convolvers are fed; while the FIR path is off they rest and catch up from firHistory. */
    bool convolversRunning = false;
    std::array<double, maxFirLength> kernelWindow {};

    int fftSize = 0;
    int firLength = 0;
    int firCentre = 0;

    double meterDecay = 0.0;
    /** meterDecay and grRelease to the powers 0 .. chunkSize, made by repeated multiplication. */
    std::array<double, 257> meterDecayPowers {};
    std::array<double, 257> grReleasePowers {};
    double grRelease = 0.0;
    double meterSmoothing = 1.0;
    double balanceSmoothing = 1.0;

    /** The meters' accumulators: peaks after each stage, the stages' gains (the compressor's and
        the limiter's also held), the output's mean squares, correlation and balance. */
    template <typename Value>
    struct MeterAccumulators
    {
        std::array<Value, numChannels> peakAfterExpander {};
        Value expanderGain {};
        std::array<Value, numChannels> peakAfterEq {};
        std::array<Value, numChannels> peakAfterCompressor {};
        Value compressorGainHold {};
        Value compressorGain {};
        std::array<Value, numChannels> peakAfterLimiter {};
        Value limiterGainHold {};
        Value limiterGain {};
        std::array<Value, numChannels> outputPeak {};
        std::array<Value, numChannels> outputMeanSquare {};
        Value correlation {};
        Value balance {};
    };

    /** The audio thread's running accumulators, updated every sample. */
    MeterAccumulators<double> meters;

    /** The accumulators as the meters read them: published at the end of every block, so the
        message thread sees one block's values or the next, never a torn one. */
    MeterAccumulators<std::atomic<double>> publishedMeters;

    double expanderEnvelope = 0.0;
    double expanderAttack = 1.0;
    double expanderRelease = 1.0;
    double compressorEnvelope = 0.0;
    double compressorAttack = 1.0;
    double compressorRelease = 1.0;
    int lookaheadSamples = 0;
    double limiterRelease = 1.0;
    double limiterEnvelope = 1.0;
    /** The largest driven sample of either channel over the look-ahead window. */
    DSP::SlidingWindowMax limiterWindowMax;
    /** The sum of the window peaks in limiterPeakHistory, and the samples since it was last summed afresh. */
    double limiterPeakSum = 0.0;
    int limiterPeakSumAge = 0;

    std::unique_ptr<DSP::CircularBuffer> dryDelay;

private:

    [[nodiscard]] bool isPrepared() const noexcept;
    void reallocateDelayLines (int channels);
    void resetRunningState() noexcept;
    void resetMeters() noexcept;
    void publishMeters() noexcept;

    /** The chain runs a chunk of samples stage by stage: each stage keeps its per-sample order,
        and stages that share no state need not interleave sample by sample. */
    static constexpr int chunkSize = 256;

    /** The working values of one stage, smoothed together. */
    struct SmoothingGroup
    {
        int index, first, last;
    };

    static constexpr SmoothingGroup outputGroup { 0, power, power };
    static constexpr SmoothingGroup equaliserGroup { 1, eqMode, sideGain };
    static constexpr SmoothingGroup expanderGroup { 2, expanderRatio, expanderBypass };
    static constexpr SmoothingGroup compressorGroup { 3, compressorThreshold, compressorBypass };
    static constexpr SmoothingGroup limiterGroup { 4, limiterInputGain, limiterBypass };
    static constexpr std::array<SmoothingGroup, 5> smoothingGroups { outputGroup, equaliserGroup, expanderGroup,
                                                                     compressorGroup, limiterGroup };

    struct ChunkBuffers
    {
        /** The signal as it passes the stages, in place: input, after expander, ... output. */
        std::array<std::array<double, chunkSize>, numChannels> signal {};
        std::array<std::array<double, chunkSize>, numChannels> dry {};
        std::array<double, chunkSize> envelope {};
        std::array<double, chunkSize> gain {};
        std::array<std::array<double, chunkSize>, 4> values {};
        /** The equaliser's channels: pre-delayed input, FIR path, IIR path, per channel. */
        std::array<std::array<double, chunkSize>, 6> equaliser {};
    };

    template <typename Sample>
    void processChain (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept;
    void smooth (SmoothingGroup group) noexcept;
    [[nodiscard]] bool smoothingChangesNothing (SmoothingGroup group) const noexcept;
    void runExpander (int numSamples) noexcept;
    void runEqualiser (int numSamples) noexcept;
    void equaliseSteadyChunk (int numSamples) noexcept;
    void runIirSections (double* channel0, double* channel1, int numSamples) noexcept;
    void limitBlock (const double* in0, const double* in1, double* out0, double* out1, int numSamples, bool glide) noexcept;
    void runCompressor (int numSamples) noexcept;
    void runLimiter (int numSamples) noexcept;
    void runOutput (int numSamples) noexcept;
    void updateStagePeaks (std::array<double, numChannels>& peaks, int numSamples) noexcept;
    void updateOutputMeters (int numSamples) noexcept;
    [[nodiscard]] double heldGain (double held, const double* gains, int numSamples) const noexcept;
    void updateOutputMeters (const double* o) noexcept;
    void seedReceivedValues() noexcept;
    void setAutoMakeup (float thresholdValue, double ratio) noexcept;

    void prepareEqualiser();
    void resetEqualiserState() noexcept;
    void computeKernelWindow();
    void refreshSpectrum (int channel, int band);
    void updateKernel (int channel) noexcept;
    [[nodiscard]] bool equaliserParameterChanged (int index, float value);
    void setEqDefaults();

    template <typename Sample>
    void processBypassed (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept;

    ChunkBuffers chunk;
    /** Per smoothing group: every value has arrived where the glide leaves it, so this block skips it. */
    std::array<bool, smoothingGroups.size()> groupAtRest {};

    /** The stage benchmarks time the chain's stages one by one. */
    friend struct KelvaneDspStageProbe;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvaneDsp)
};

} // namespace OSK
