#pragma once

#include "ChainRenderer.h"
#include "LoudnessMeter.h"

#include <juce_core/juce_core.h>

#include <optional>

namespace KelvaneRender
{
/** One target and how close the output came. */
struct TargetResult
{
    double target = 0.0;
    double achieved = 0.0;
    bool met = false;
};

/** Everything the renderer reports about one file. */
struct FileReport
{
    juce::File input, output;
    juce::String inputFormat, outputFormat;        ///< "WAV", "AIFF", "FLAC"
    juce::String inputSamples, outputSamples;      ///< "24-bit", "32-bit float"
    double sampleRate = 0.0;
    int numChannels = 0;
    juce::int64 lengthInSamples = 0;
    bool latencyCompensated = true;
    bool dithered = false;

    juce::String settings;      ///< what the settings are made of
    juce::String driveText;     ///< the limiter drive ("LGain") used, as the plug-in shows it
    juce::String ceilingText;   ///< the limiter ceiling ("LCeil") used
    double driveDb = 0.0;
    double ceilingDb = 0.0;

    LoudnessFigures inputFigures, outputFigures;
    StageReductions reductions;

    std::optional<TargetResult> loudnessTarget; ///< --target-lufs, in LUFS
    std::optional<TargetResult> truePeakTarget; ///< --max-true-peak, in dBTP
    int passes = 1;

    juce::StringArray warnings;

    /** True unless a target was missed. */
    [[nodiscard]] bool targetsMet() const noexcept
    {
        return (! loudnessTarget || loudnessTarget->met) && (! truePeakTarget || truePeakTarget->met);
    }
};

/** The report as a table for the terminal. */
[[nodiscard]] juce::String formatReportTable (const FileReport& report);

/** One file's report as a JSON object. */
[[nodiscard]] juce::var reportToJson (const FileReport& report);

/** The JSON document of a whole run: the files rendered and the errors of those that were not. */
[[nodiscard]] juce::String runToJson (const std::vector<FileReport>& reports, const juce::StringArray& errors);

} // namespace KelvaneRender
