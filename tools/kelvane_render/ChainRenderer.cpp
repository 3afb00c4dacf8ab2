#include "ChainRenderer.h"

#include "Interruption.h"
#include "SampleQuantiser.h"

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneProcessor.h"

#include <array>
#include <cmath>
#include <limits>

namespace KelvaneRender
{
namespace
{
    void setParameter (OSK::KelvaneProcessor& processor, const char* id, float value)
    {
        auto* parameter = processor.valueTreeState.getParameter (id);
        parameter->beginChangeGesture();
        parameter->setValueNotifyingHost (value);
        parameter->endChangeGesture();
    }

    /** Brings a processor from construction to rest with the settings fully in effect. The
        first block hands the parameters to the engine, whose working values then glide toward
        them and whose FIR kernels are synthesised over the next samples; preparing again with
        the same settings puts every working value on its target and empties the delay lines
        and detectors, while the kernels stay. */
    void prepareSettled (OSK::KelvaneProcessor& processor, double sampleRate)
    {
        processor.prepareToPlay (sampleRate, renderBlockSize);

        juce::AudioBuffer<double> silence (2, renderBlockSize);
        juce::MidiBuffer midi;
        const auto settlingSamples = 2 * processor.getEngine().firLength + renderBlockSize;

        for (int done = 0; done < settlingSamples; done += renderBlockSize)
        {
            silence.clear();
            processor.processBlock (silence, midi);
        }

        processor.prepareToPlay (sampleRate, renderBlockSize);
    }

    /** Follows the smallest gain of each stage over the samples of the file it worked on. */
    class ReductionTracker
    {
    public:
        ReductionTracker (const OSK::KelvaneDsp& engineToRead, juce::int64 fileLength, bool compensated, double sampleRate)
            : engine (engineToRead)
            , length (fileLength)
        {
            // A stage works on a sample this much later than it entered the chain. Compressor and
            // limiter sit behind the equaliser, the limiter's gain behind its look-ahead too.
            if (compensated)
                delays = { 0, OSK::KelvaneDsp::equaliserLatency,
                           OSK::KelvaneDsp::equaliserLatency + OSK::KelvaneDsp::lookaheadFor (sampleRate) };
        }

        /** Reads the stages after a block whose last sample entered the chain at `lastInput`. */
        void afterBlock (juce::int64 lastInput)
        {
            const auto& meters = engine.publishedMeters;

            // The compressor's and limiter's held gains cover the whole block (their slow return
            // aside); the expander's is its gain at the block's end, which moves with its
            // detector's envelope, slowly next to a block.
            const std::array<double, 3> gains { meters.expanderGain.load(), meters.compressorGainHold.load(),
                                                meters.limiterGainHold.load() };

            for (size_t stage = 0; stage < 3; ++stage)
            {
                const auto sample = lastInput - delays[stage];

                if (sample >= 0 && sample < length)
                    smallestGains[stage] = std::min (smallestGains[stage], gains[stage]);
            }
        }

        [[nodiscard]] double reductionDb (size_t stage) const
        {
            return std::max (0.0, -amplitudeToDecibels (std::min (1.0, smallestGains[stage])));
        }

    private:
        const OSK::KelvaneDsp& engine;
        juce::int64 length;
        std::array<juce::int64, 3> delays {};
        std::array<double, 3> smallestGains { 1.0, 1.0, 1.0 };
    };

    /** The end of a pass: folds dual mono back to one channel, quantises to the file's sample
        format, measures what the file will hold and writes it. */
    class OutputStage
    {
    public:
        OutputStage (const PassRequest& request, double sampleRate)
            : numChannels (request.format.numChannels)
            , destination (request.destination)
            , quantiser (numChannels, request.format.bitsPerSample, request.format.floatingPoint, request.dither,
                         request.ditherSeed)
            , meter (numChannels, sampleRate)
            , chainOutput (numChannels, renderBlockSize)
            , written (numChannels, renderBlockSize)
            , writerData (static_cast<size_t> (numChannels * renderBlockSize))
        {
            // JUCE's writers take a null-terminated list of channels.
            writerChannels = { writerData.get(), numChannels > 1 ? writerData.get() + renderBlockSize : nullptr, nullptr };
        }

        /** Takes frames [offset, offset + numFrames) of the chain's stereo output. */
        void take (const juce::AudioBuffer<double>& chain, int offset, int numFrames)
        {
            chainOutput.setSize (numChannels, numFrames, false, false, true);
            written.setSize (numChannels, numFrames, false, false, true);

            if (numChannels == 1)
            {
                // Dual mono comes back as one channel: the mean of two equal sides is either side.
                const auto* left = chain.getReadPointer (0, offset);
                const auto* right = chain.getReadPointer (1, offset);
                auto* mono = chainOutput.getWritePointer (0);

                for (int i = 0; i < numFrames; ++i)
                    mono[i] = 0.5 * (left[i] + right[i]);
            }
            else
            {
                for (int c = 0; c < 2; ++c)
                    chainOutput.copyFrom (c, 0, chain, c, offset, numFrames);
            }

            for (int c = 0; c < numChannels; ++c)
                quantiser.convert (c, chainOutput.getReadPointer (c), numFrames, writerData.get() + c * renderBlockSize,
                                   written.getWritePointer (c));

            meter.addFrames (written.getArrayOfReadPointers(), numFrames);

            if (destination != nullptr)
                destination->write (writerChannels.data(), numFrames);
        }

        [[nodiscard]] LoudnessFigures getFigures() const { return meter.getFigures(); }
        [[nodiscard]] juce::int64 getNumClipped() const noexcept { return quantiser.getNumClipped(); }

    private:
        int numChannels;
        AtomicAudioFile* destination;
        SampleQuantiser quantiser;
        LoudnessMeter meter;
        juce::AudioBuffer<double> chainOutput, written;
        juce::HeapBlock<int> writerData;
        std::array<const int*, 3> writerChannels {};
    };
} // namespace

PassResult renderPass (const PassRequest& request)
{
    auto& input = *request.input;
    const auto sampleRate = input.getSampleRate();
    const auto fileChannels = input.getNumChannels();
    const auto length = input.getLength();

    auto processor = std::make_unique<OSK::KelvaneProcessor>();
    request.settings->applyTo (*processor);

    if (request.limiterDrive)
        setParameter (*processor, "LGain", *request.limiterDrive);

    if (request.limiterCeiling)
        setParameter (*processor, "LCeil", *request.limiterCeiling);

    prepareSettled (*processor, sampleRate);

    const juce::int64 latency = request.latencyCompensation ? processor->getLatencySamples() : 0;
    const juce::int64 total = length + latency;

    juce::AudioBuffer<double> block (2, renderBlockSize);
    juce::MidiBuffer midi;
    OutputStage output (request, sampleRate);
    std::optional<LoudnessMeter> inputMeter;

    if (request.measureInput)
        inputMeter.emplace (fileChannels, sampleRate);

    ReductionTracker reductions (processor->getEngine(), length, request.latencyCompensation, sampleRate);
    auto nextProgressReport = juce::Time::getMillisecondCounter();

    for (juce::int64 position = 0; position < total; position += renderBlockSize)
    {
        throwIfInterrupted (input.getFile());

        const auto numFrames = static_cast<int> (std::min<juce::int64> (renderBlockSize, total - position));
        block.setSize (2, numFrames, false, false, true);
        input.read (position, numFrames, block);

        if (inputMeter && position < length)
            inputMeter->addFrames (block.getArrayOfReadPointers(), static_cast<int> (std::min<juce::int64> (numFrames, length - position)));

        // A mono file plays through both sides of the stereo chain.
        if (fileChannels == 1)
            block.copyFrom (1, 0, block, 0, 0, numFrames);

        processor->processBlock (block, midi);
        reductions.afterBlock (position + numFrames - 1);

        // Output sample k of the file is the chain's sample k + latency.
        const auto firstKept = std::max<juce::int64> (position, latency);
        const auto endKept = std::min<juce::int64> (position + numFrames, length + latency);

        if (endKept > firstKept)
            output.take (block, static_cast<int> (firstKept - position), static_cast<int> (endKept - firstKept));

        if (request.progress && juce::Time::getMillisecondCounter() >= nextProgressReport)
        {
            request.progress (static_cast<double> (position + numFrames) / static_cast<double> (std::max<juce::int64> (1, total)));
            nextProgressReport = juce::Time::getMillisecondCounter() + 100;
        }
    }

    PassResult result;
    result.output = output.getFigures();
    result.clippedSamples = output.getNumClipped();

    if (inputMeter)
        result.input = inputMeter->getFigures();

    if (request.settings->stageIsActive ("ExpByp"))
        result.reductions.expanderDb = reductions.reductionDb (0);

    if (request.settings->stageIsActive ("CByp"))
        result.reductions.compressorDb = reductions.reductionDb (1);

    if (request.settings->stageIsActive ("LByp"))
        result.reductions.limiterDb = reductions.reductionDb (2);

    return result;
}

} // namespace KelvaneRender
