#include "FileRenderer.h"

#include "AtomicFile.h"
#include "AudioInput.h"
#include "ChainRenderer.h"
#include "OutputFormat.h"
#include "SampleQuantiser.h"
#include "TargetSearch.h"

#include "plugin/KelvaneParameters.h"

#include <cmath>
#include <memory>

namespace KelvaneRender
{
namespace
{
    /** Converts between a linear parameter's normalised value and its display units (dB). */
    struct LinearRange
    {
        double lo, hi;

        explicit LinearRange (int index)
            : lo (static_cast<double> (OSK::kelvaneParameters[static_cast<size_t> (index)].displayMin))
            , hi (static_cast<double> (OSK::kelvaneParameters[static_cast<size_t> (index)].displayMax))
        {
        }

        [[nodiscard]] float toNormalised (double db) const
        {
            return static_cast<float> (std::clamp ((db - lo) / (hi - lo), 0.0, 1.0));
        }

        [[nodiscard]] double toDb (float normalised) const { return lo + static_cast<double> (normalised) * (hi - lo); }
    };

    juce::String formatDb (double value, int decimals = 1)
    {
        return (value >= 0.0 ? "+" : "") + juce::String (value, decimals);
    }

    /** The passes of one file: each renders into a new temporary output, the newest one kept. */
    class PassRunner
    {
    public:
        PassRunner (PassRequest baseRequest, const juce::File& outputFile, const ProgressCallback& progressCallback)
            : base (std::move (baseRequest))
            , output (outputFile)
            , progress (progressCallback)
        {
        }

        /** Renders a pass at a normalised drive and ceiling, unless the newest pass was that one. */
        const PassResult& render (float drive, float ceiling)
        {
            if (latest && drive == latestDrive && ceiling == latestCeiling)
                return latestResult;

            ++passes;
            latest.reset();
            auto destination = std::make_unique<AtomicAudioFile> (output, base.format);

            auto request = base;
            request.limiterDrive = drive;
            request.limiterCeiling = ceiling;
            request.destination = destination.get();
            request.measureInput = ! inputFigures.has_value();

            const auto stage = passes == 1 ? juce::String() : "pass " + juce::String (passes);

            const auto seconds = static_cast<double> (base.input->getLength()) / base.input->getSampleRate();

            if (progress)
                request.progress = [this, stage, seconds] (double fraction) { progress (fraction, stage, seconds); };

            latestResult = renderPass (request);

            if (latestResult.input)
                inputFigures = latestResult.input;

            latest = std::move (destination);
            latestDrive = drive;
            latestCeiling = ceiling;
            return latestResult;
        }

        /** Puts the newest pass's file in place. */
        void commit() { latest->commit(); }

        [[nodiscard]] int getPasses() const noexcept { return passes; }
        [[nodiscard]] const LoudnessFigures& getInputFigures() const { return *inputFigures; }

    private:
        PassRequest base;
        juce::File output;
        const ProgressCallback& progress;
        std::unique_ptr<AtomicAudioFile> latest;
        PassResult latestResult;
        float latestDrive = 0.0f, latestCeiling = 0.0f;
        std::optional<LoudnessFigures> inputFigures;
        int passes = 0;
    };

    /** Says in words what the numbers of a report imply: a missed target and by how much, true
        peaks above the ceiling, clipping. */
    void addWarnings (FileReport& report, const PassResult& result, const ChainSettings& settings,
                      const RenderOptions& options, const OutputFormat& format)
    {
        const auto& out = result.output;

        if (report.loudnessTarget && ! report.loudnessTarget->met)
        {
            const auto target = juce::String (*options.targetLufs, 1) + " LUFS";
            const auto miss = out.integratedLufs - *options.targetLufs;

            if (! std::isfinite (out.integratedLufs))
                report.warnings.add ("the output is silent: no drive reaches " + target);
            else if (miss < 0.0)
                report.warnings.add ("loudness target " + target + " cannot be reached under a ceiling of " + report.ceilingText
                                     + " dB: " + juce::String (out.integratedLufs, 2) + " LUFS at a drive of " + report.driveText
                                     + " dB, " + juce::String (-miss, 2) + " LU short");
            else
                report.warnings.add ("loudness target " + target + " cannot be reached: " + juce::String (out.integratedLufs, 2)
                                     + " LUFS already at a drive of " + report.driveText + " dB, " + juce::String (miss, 2)
                                     + " LU too loud");
        }

        if (report.truePeakTarget && ! report.truePeakTarget->met)
            report.warnings.add ("true-peak limit " + formatDb (*options.maxTruePeakDb) + " dBTP not met: "
                                 + formatDb (out.truePeakDb, 2) + " dBTP at the lowest ceiling tried (" + report.ceilingText
                                 + " dB), " + juce::String (out.truePeakDb - *options.maxTruePeakDb, 2) + " dB over");

        if (settings.stageIsActive ("LByp") && ! options.maxTruePeakDb && out.truePeakDb > report.ceilingDb + 0.05)
            report.warnings.add ("true peak " + formatDb (out.truePeakDb, 2) + " dBTP is above the limiter ceiling of "
                                 + report.ceilingText + " dB: the limiter holds sample peaks; --max-true-peak lowers the "
                                 + "ceiling until the true peak fits");

        if (result.clippedSamples > 0)
            report.warnings.add (juce::String (result.clippedSamples) + " samples above full scale were clipped in the "
                                 + format.describeSamples() + " output");
        else if (format.floatingPoint && out.samplePeakDb > 0.0)
            report.warnings.add ("samples above 0 dBFS (peak " + formatDb (out.samplePeakDb, 2)
                                 + " dBFS) clip when the float output is converted to a fixed-point format");
    }
} // namespace

FileReport renderFile (const FileJob& job, const ChainSettings& settings, const RenderOptions& options,
                       const ProgressCallback& progress)
{
    AudioInput input (job.input);
    const auto format = chooseOutputFormat (job.output, input.getSampleRate(), input.getNumChannels(),
                                            input.getBitsPerSample(), input.isFloatingPoint(), options.bits);

    PassRequest base;
    base.settings = &settings;
    base.input = &input;
    base.format = format;
    base.latencyCompensation = options.latencyCompensation;
    base.dither = options.dither;
    base.ditherSeed = seedForName (job.input.getFileName());

    const LinearRange driveRange (OSK::LGain), ceilingRange (OSK::LCeil);
    auto drive = settings.getValue ("LGain");
    auto ceiling = settings.getValue ("LCeil");

    PassRunner runner (base, job.output, progress);
    FileReport report;

    if (options.targetLufs || options.maxTruePeakDb)
    {
        TargetRequest request;
        request.loudnessLufs = options.targetLufs;
        request.maxTruePeakDb = options.maxTruePeakDb;
        request.startDriveDb = driveRange.toDb (drive);
        request.startCeilingDb = ceilingRange.toDb (ceiling);

        TargetSearch search (request, [&] (double driveDb, double ceilingDb)
                             {
                                 const auto& result = runner.render (driveRange.toNormalised (driveDb),
                                                                     ceilingRange.toNormalised (ceilingDb));
                                 return ChainMeasurement { result.output.integratedLufs, result.output.truePeakDb };
                             });

        const auto outcome = search.run();
        drive = driveRange.toNormalised (outcome.driveDb);
        ceiling = ceilingRange.toNormalised (outcome.ceilingDb);

        if (options.targetLufs)
            report.loudnessTarget = TargetResult { *options.targetLufs, outcome.measured.loudnessLufs, outcome.loudnessMet };

        if (options.maxTruePeakDb)
            report.truePeakTarget = TargetResult { *options.maxTruePeakDb, outcome.measured.truePeakDb, outcome.truePeakMet };
    }

    // The chosen pass is normally the newest; otherwise it is rendered once more.
    const auto result = runner.render (drive, ceiling);
    runner.commit();

    report.input = job.input;
    report.output = job.output;
    report.inputFormat = input.getFormatName();
    report.inputSamples = OutputFormat { {}, input.getBitsPerSample(), input.isFloatingPoint() }.describeSamples();
    report.outputFormat = format.formatName;
    report.outputSamples = format.describeSamples();
    report.sampleRate = input.getSampleRate();
    report.numChannels = input.getNumChannels();
    report.lengthInSamples = input.getLength();
    report.latencyCompensated = options.latencyCompensation;
    report.dithered = options.dither && ! format.floatingPoint;
    report.settings = settings.describe();
    report.driveDb = driveRange.toDb (drive);
    report.ceilingDb = ceilingRange.toDb (ceiling);
    report.driveText = settings.getText ("LGain", drive);
    report.ceilingText = settings.getText ("LCeil", ceiling);
    report.inputFigures = runner.getInputFigures();
    report.outputFigures = result.output;
    report.reductions = result.reductions;
    report.passes = runner.getPasses();

    addWarnings (report, result, settings, options, format);
    return report;
}

} // namespace KelvaneRender
