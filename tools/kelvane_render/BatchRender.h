#pragma once

#include "ChainSettings.h"
#include "FileRenderer.h"
#include "ProgressDisplay.h"

#include <vector>

namespace KelvaneRender
{
/** What a run of several files came to. */
struct BatchOutcome
{
    std::vector<FileReport> reports; ///< the files rendered, in the order given
    juce::StringArray errors;        ///< one line for each file that failed
    int missedTargets = 0;           ///< files rendered with a target not met
};

/** Works out where every input's output goes: OUT, or DIR/name with --out-dir (the folder is
    created when missing). Throws RenderError when an output would replace its own input (by
    canonical path, links followed) or two inputs would write the same output. */
[[nodiscard]] std::vector<FileJob> planJobs (const RenderOptions& options);

/** Renders the files, `options.jobs` at a time, each on its own thread with its own processors.
    Prints each report as its file finishes (unless quiet) and each error as it happens. */
[[nodiscard]] BatchOutcome renderBatch (const std::vector<FileJob>& jobs, const ChainSettings& settings,
                                        const RenderOptions& options, ProgressDisplay& display);

/** Prints a one-line error the way the program prints all of them. */
void printError (ProgressDisplay& display, const juce::String& message);

} // namespace KelvaneRender
