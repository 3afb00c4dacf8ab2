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
        meterDecayPowers[0] = grReleasePowers[0] = 1.0;

        for (size_t j = 1; j < meterDecayPowers.size(); ++j)
        {
            meterDecayPowers[j] = meterDecayPowers[j - 1] * meterDecay;
            grReleasePowers[j] = grReleasePowers[j - 1] * grRelease;
        }

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
    limiterWindowMax.prepare (lookaheadSamples);
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
    limiterWindowMax.reset (lookaheadSamples);
    limiterPeakSum = 0.0;
    limiterPeakSumAge = 0;
    resetMeters();
}

void KelvaneDsp::releaseResources() {}

template <typename Sample>
void KelvaneDsp::processBypassed (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept
{
    if (! isPrepared())
        return;

    // Only the dry history runs, so that switching back and forth never breaks the delayed signal.
    const auto channels = std::min (numOutputChannels, dryDelay->getNumChannels());

    for (int i = 0; i < numSamples; ++i)
        for (int c = 0; c < channels; ++c)
            outputs[c][i] = static_cast<Sample> (dryDelay->pushAndRead (c, sanitisedInput (static_cast<double> (inputs[c][i]))));
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
