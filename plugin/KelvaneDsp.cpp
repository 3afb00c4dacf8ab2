#include "plugin/KelvaneDsp.h"

#include <algorithm>
#include <cmath>

namespace OSK
{
namespace
{
    // The meters' time constants were chosen as single-precision numbers.
    constexpr double meterTime = static_cast<double> (0.3f);
    constexpr double gainReductionReturnTime = static_cast<double> (0.9f);

    /** About +120 dBFS: far beyond any real signal, yet small enough that no square or sum of the
        chain can overflow. */
    constexpr double inputLimit = 1.0e6;

    /** A faulty upstream plug-in can send NaN or infinities; one of them in a detector, a filter
        state or the limiter's history would silence the output for good, so it enters as silence. */
    template <typename Sample>
    double sanitisedInput (Sample sample) noexcept
    {
        const auto x = static_cast<double> (sample);
        return std::isfinite (x) ? std::clamp (x, -inputLimit, inputLimit) : 0.0;
    }
} // namespace

KelvaneDsp::EqualiserSizes KelvaneDsp::equaliserSizesFor (double rate) noexcept
{
    if (rate > 100000.0)
        return { 3073, 4096, 1536 };

    if (rate > 50000.0)
        return { 1537, 2048, 768 };

    return { 769, 1024, 384 };
}

int KelvaneDsp::lookaheadFor (double rate) noexcept
{
    return std::min (static_cast<int> (0.003 * rate), maxLookahead);
}

KelvaneDsp::KelvaneDsp (BaseProcessor& owner)
    : BaseDsp (owner)
    , firHistory (std::make_unique<DSP::CircularBuffer>())
    , eqPreDelay (std::make_unique<DSP::CircularBuffer>())
    , limiterLookahead (std::make_unique<DSP::CircularBuffer>())
    , limiterPeakHistory (std::make_unique<DSP::CircularBuffer>())
    , limiterPostDelay (std::make_unique<DSP::CircularBuffer>())
    , dryDelay (std::make_unique<DSP::CircularBuffer>())
{
    latencySamples = totalLatency;

    for (int c = 0; c < numChannels; ++c)
    {
        spectra[static_cast<size_t> (c)].resize (4096);
        synthesisSpectra[static_cast<size_t> (c)].resize (4096);
    }

    seedReceivedValues();
    setDefaultParameters();
}

KelvaneDsp::~KelvaneDsp() = default;

bool KelvaneDsp::isPrepared() const noexcept
{
    return sampleRate > 0.0 && dryDelay->getNumChannels() >= numChannels;
}

void KelvaneDsp::prepareToPlay (double newSampleRate, int maximumBlockSize, int numIns, int numOuts)
{
    const bool configurationChanged = newSampleRate != sampleRate || maximumBlockSize != blockSize
                                   || numIns != numInputChannels || numOuts != numOutputChannels;

    if (configurationChanged)
    {
        sampleRate = newSampleRate;
        blockSize = maximumBlockSize;
        numInputChannels = numIns;
        numOutputChannels = numOuts;

        smoothingCoefficient = timeCoefficient (0.05);
        seedReceivedValues();

        const auto sizes = equaliserSizesFor (sampleRate);
        firLength = sizes.firLength;
        fftSize = sizes.fftSize;
        firCentre = sizes.centre;

        meterDecay = std::exp (-1.0 / (meterTime * sampleRate));
        grRelease = 2.0 - std::exp (-1.0 / (gainReductionReturnTime * sampleRate));
        meterSmoothing = timeCoefficient (meterTime);
        balanceSmoothing = timeCoefficient (0.5);

        lookaheadSamples = lookaheadFor (sampleRate);
        reallocateDelayLines (std::min (numIns, numOuts));
        prepareEqualiser();
        setDefaultParameters();
    }

    // Whatever changed, playback starts from rest: no glide, empty delay lines, idle detectors.
    currentValues = targetValues;
    resetRunningState();
}

void KelvaneDsp::reallocateDelayLines (int channels)
{
    using DSP::CircularBuffer;
    firHistory = CircularBuffer::realloc (firHistory, channels, firLength);
    eqPreDelay = CircularBuffer::realloc (eqPreDelay, channels, equaliserLatency - firCentre);
    dryDelay = CircularBuffer::realloc (dryDelay, channels, totalLatency);
    limiterLookahead = CircularBuffer::realloc (limiterLookahead, channels, lookaheadSamples);
    limiterPeakHistory = CircularBuffer::realloc (limiterPeakHistory, 1, lookaheadSamples);
    limiterPostDelay = CircularBuffer::realloc (limiterPostDelay, channels, limiterLatency + 1 - lookaheadSamples);
}

void KelvaneDsp::resetRunningState() noexcept
{
    for (auto* line : { firHistory.get(), eqPreDelay.get(), limiterLookahead.get(), limiterPeakHistory.get(),
                        limiterPostDelay.get(), dryDelay.get() })
        line->clear();

    resetEqualiserState();
    expanderEnvelope = 0.0;
    compressorEnvelope = 0.0;
    limiterEnvelope = targetValues[limiterCeiling];
    resetMeters();
}

void KelvaneDsp::releaseResources() {}

void KelvaneDsp::smoothWorkingValues() noexcept
{
    // Every value glides every sample, so that no parameter change can click.
    for (size_t k = 0; k < numWorkingValues; ++k)
        currentValues[k] += (targetValues[k] - currentValues[k]) * smoothingCoefficient;
}

void KelvaneDsp::processSample (const double* x, double* o) noexcept
{
    processFIRUpdate();
    smoothWorkingValues();

    const auto& w = currentValues;
    std::array<double, numChannels> d {}, y {}, m {}, e {}, z {}, u {}, l {};

    for (int c = 0; c < numChannels; ++c)
        d[static_cast<size_t> (c)] = dryDelay->pushAndRead (c, x[c]);

    const double expanderGain = expanderGainFor (x);
    y = { x[0] * expanderGain, x[1] * expanderGain };
    updateStagePeaks (meters.peakAfterExpander, y.data());

    m = { w[inMatrix] * y[0] + w[inMatrix + 1] * y[1], w[inMatrix + 2] * y[0] + w[inMatrix + 3] * y[1] };
    processEQ (m.data(), e.data());
    z = { w[outMatrix] * e[0] + w[outMatrix + 1] * e[1], w[outMatrix + 2] * e[0] + w[outMatrix + 3] * e[1] };
    updateStagePeaks (meters.peakAfterEq, z.data());

    const double compressorGain = compressorGainFor (z.data());
    u = { z[0] * compressorGain, z[1] * compressorGain };
    updateStagePeaks (meters.peakAfterCompressor, u.data());

    processLimiter (u.data(), l.data());
    updateStagePeaks (meters.peakAfterLimiter, l.data());

    // "Power" crossfades between the chain and the input delayed by the same latency.
    for (size_t c = 0; c < numChannels; ++c)
        o[c] = d[c] + (l[c] - d[c]) * w[power];

    updateOutputMeters (o);
}

template <typename Sample>
void KelvaneDsp::processChain (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept
{
    if (! isPrepared())
        return;

    for (int i = 0; i < numSamples; ++i)
    {
        // Both inputs are read before either output is written: the buffer is processed in place.
        const double x[] = { sanitisedInput (inputs[0][i]), sanitisedInput (inputs[1][i]) };
        double o[numChannels];
        processSample (x, o);

        for (int c = 0; c < numChannels; ++c)
            outputs[c][i] = static_cast<Sample> (o[c]);
    }

    publishMeters();
}

void KelvaneDsp::processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept
{
    processChain (numSamples, inputs, outputs);
}

void KelvaneDsp::processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept
{
    processChain (numSamples, inputs, outputs);
}

template <typename Sample>
void KelvaneDsp::processBypassed (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept
{
    if (! isPrepared())
        return;

    // Only the dry history runs, so that switching back and forth never breaks the delayed signal.
    const auto channels = std::min (numOutputChannels, dryDelay->getNumChannels());

    for (int i = 0; i < numSamples; ++i)
        for (int c = 0; c < channels; ++c)
            outputs[c][i] = static_cast<Sample> (dryDelay->pushAndRead (c, sanitisedInput (inputs[c][i])));
}

void KelvaneDsp::processBypassedFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept
{
    processBypassed (numSamples, inputs, outputs);
}

void KelvaneDsp::processBypassedDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept
{
    processBypassed (numSamples, inputs, outputs);
}

} // namespace OSK
