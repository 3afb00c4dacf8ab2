#include "BatchRender.h"

#include "Interruption.h"
#include "RenderError.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>

namespace KelvaneRender
{
namespace
{
    [[noreturn]] void fail (const juce::String& message) { throw RenderError (message.toStdString()); }

    juce::File resolve (const juce::String& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (path);
    }

    /** True when two names lead to the same file: the same canonical path, or, when both exist,
        the same file on disk (a hard link). */
    bool sameFile (const juce::File& a, const juce::File& b)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::path pathA (a.getFullPathName().toStdString()), pathB (b.getFullPathName().toStdString());

        if (fs::exists (pathA, error) && fs::exists (pathB, error) && fs::equivalent (pathA, pathB, error))
            return true;

        const auto canonicalA = fs::weakly_canonical (pathA, error);
        const auto canonicalB = fs::weakly_canonical (pathB, error);
        return ! error && canonicalA == canonicalB;
    }

    juce::String canonicalKey (const juce::File& file)
    {
        std::error_code error;
        const auto path = std::filesystem::weakly_canonical (file.getFullPathName().toStdString(), error);
        return error ? file.getFullPathName() : juce::String (path.string());
    }
} // namespace

void printError (ProgressDisplay& display, const juce::String& message)
{
    display.print ("kelvane-render: error: " + message + "\n", true);
}

std::vector<FileJob> planJobs (const RenderOptions& options)
{
    std::vector<FileJob> jobs;

    if (options.outputFolder.isEmpty())
    {
        jobs.push_back ({ resolve (options.inputs[0]), resolve (options.output) });
    }
    else
    {
        const auto folder = resolve (options.outputFolder);

        if (folder.existsAsFile())
            fail ("--out-dir " + folder.getFullPathName() + ": is a file, not a folder");

        if (const auto created = folder.createDirectory(); created.failed())
            fail ("--out-dir " + folder.getFullPathName() + ": cannot be created (" + created.getErrorMessage() + ")");

        for (const auto& input : options.inputs)
            jobs.push_back ({ resolve (input), folder.getChildFile (resolve (input).getFileName()) });
    }

    juce::StringArray outputs;

    for (const auto& job : jobs)
    {
        if (sameFile (job.input, job.output))
            fail (job.output.getFullPathName() + ": the output would replace its own input; choose another name or folder");

        const auto key = canonicalKey (job.output);

        if (outputs.contains (key))
            fail (job.output.getFullPathName() + ": two inputs would both be written here");

        outputs.add (key);
    }

    return jobs;
}

BatchOutcome renderBatch (const std::vector<FileJob>& jobs, const ChainSettings& settings, const RenderOptions& options,
                          ProgressDisplay& display)
{
    std::vector<std::optional<FileReport>> reports (jobs.size());
    std::vector<juce::String> errors (jobs.size());
    std::atomic<size_t> nextJob { 0 };

    const auto work = [&]
    {
        for (auto index = nextJob++; index < jobs.size(); index = nextJob++)
        {
            // After an interrupt no new file starts; the report lists those not rendered.
            if (wasInterrupted())
            {
                errors[index] = jobs[index].input.getFullPathName() + ": not rendered (interrupted)";
                continue;
            }

            const auto& job = jobs[index];
            const auto bar = display.begin (job.input.getFileName());

            try
            {
                auto report = renderFile (job, settings, options,
                                          [&display, bar] (double fraction, const juce::String& stage, double seconds)
                                          { display.update (bar, fraction, stage, seconds); });
                display.end (bar);

                if (! options.quiet)
                    display.print (formatReportTable (report) + "\n");

                for (const auto& warning : report.warnings)
                    display.print ("kelvane-render: warning: " + report.input.getFileName() + ": " + warning + "\n", true);

                reports[index] = std::move (report);
            }
            catch (const std::exception& error)
            {
                display.end (bar);
                errors[index] = error.what();
                printError (display, errors[index]);
            }
        }
    };

    const auto numThreads = std::min (static_cast<size_t> (std::max (1, options.jobs)), jobs.size());

    if (numThreads <= 1)
    {
        work();
    }
    else
    {
        std::vector<std::thread> threads;

        for (size_t t = 0; t < numThreads; ++t)
            threads.emplace_back (work);

        for (auto& thread : threads)
            thread.join();
    }

    BatchOutcome outcome;

    for (size_t i = 0; i < jobs.size(); ++i)
    {
        if (reports[i])
        {
            if (! reports[i]->targetsMet())
                ++outcome.missedTargets;

            outcome.reports.push_back (std::move (*reports[i]));
        }
        else
        {
            outcome.errors.add (errors[i]);
        }
    }

    return outcome;
}

} // namespace KelvaneRender
