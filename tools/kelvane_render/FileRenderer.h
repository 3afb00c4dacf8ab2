#pragma once

#include "ChainSettings.h"
#include "FileReport.h"
#include "RenderOptions.h"

#include <functional>

namespace KelvaneRender
{
/** One file to render and where its output goes. */
struct FileJob
{
    juce::File input;
    juce::File output;
};

/** Reports progress: the fraction of the current pass done, the pass's name and the file's length in seconds. */
using ProgressCallback = std::function<void (double fraction, const juce::String& stage, double fileSeconds)>;

/** Renders one file with the given settings and options, meeting its loudness and true-peak
    targets by repeated passes, and puts the output in place only when it is complete. Returns
    the report; throws RenderError with a one-line message when the file cannot be rendered, in
    which case no output file is left behind. Any thread; each call uses its own processors. */
[[nodiscard]] FileReport renderFile (const FileJob& job, const ChainSettings& settings, const RenderOptions& options,
                                     const ProgressCallback& progress);

} // namespace KelvaneRender
