// kelvane-render: masters audio files from the command line through the same KelvaneProcessor
// that the plug-ins ship, hosted in process. See usageText() in RenderOptions.cpp.

#include "AtomicFile.h"
#include "BatchRender.h"
#include "ChainSettings.h"
#include "DemoPiece.h"
#include "FileReport.h"
#include "Interruption.h"
#include "ProgressDisplay.h"
#include "RenderError.h"
#include "RenderOptions.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
using namespace KelvaneRender;

/** The exit statuses, from best to worst news. */
enum ExitStatus
{
    success = 0,
    fileFailed = 1,   ///< at least one file could not be rendered
    badCommand = 2,   ///< the command or its settings are wrong; nothing was rendered
    targetMissed = 3, ///< every file was rendered, but a loudness or true-peak target was not met
    interruptedExit = 130
};

/** Settings that make the targets meaningless are refused before any rendering. */
void checkTargetsCanWork (const RenderOptions& options, const ChainSettings& settings)
{
    if (! options.targetLufs && ! options.maxTruePeakDb)
        return;

    if (! settings.stageIsActive ("LByp"))
        throw RenderError ("--target-lufs and --max-true-peak work through the limiter, which these settings switch off "
                           "(Power=" + settings.getText ("Power").toStdString() + ", LByp=" + settings.getText ("LByp").toStdString()
                           + "); add --set Power=On --set LByp=Off");
}

int run (const juce::StringArray& arguments)
{
    ProgressDisplay quietDisplay (false);
    RenderOptions options;

    try
    {
        options = parseCommandLine (arguments);
    }
    catch (const RenderError& error)
    {
        printError (quietDisplay, error.what());
        return badCommand;
    }

    if (options.showHelp)
    {
        std::cout << usageText();
        return success;
    }

    if (options.showVersion)
    {
        std::cout << "kelvane-render " << KELVANE_RENDER_VERSION << "\n";
        return success;
    }

    ProgressDisplay display (! options.quiet && ProgressDisplay::errorStreamIsTerminal());
    std::unique_ptr<ChainSettings> settings;
    std::vector<FileJob> jobs;

    try
    {
        if (options.demoFile.isNotEmpty())
        {
            const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (options.demoFile);
            writeDemoPiece (file);

            if (! options.quiet)
                display.print ("Wrote the demo piece to " + file.getFullPathName() + "\n");
        }

        settings = std::make_unique<ChainSettings> (options);
        checkTargetsCanWork (options, *settings);

        if (options.listPrograms)
            display.print (ChainSettings::listPrograms());

        if (options.listParameters)
            display.print (settings->listParameters());

        if (options.saveStateFile.isNotEmpty())
        {
            const auto& state = settings->getState();
            AtomicFile::replaceWithData (juce::File::getCurrentWorkingDirectory().getChildFile (options.saveStateFile),
                                         state.getData(), state.getSize());
        }

        if (options.rendersFiles())
            jobs = planJobs (options);
    }
    catch (const RenderError& error)
    {
        printError (display, error.what());
        return badCommand;
    }

    if (jobs.empty())
        return success;

    const auto outcome = renderBatch (jobs, *settings, options, display);

    if (options.reportJsonFile.isNotEmpty())
    {
        try
        {
            const auto json = runToJson (outcome.reports, outcome.errors);
            AtomicFile::replaceWithData (juce::File::getCurrentWorkingDirectory().getChildFile (options.reportJsonFile),
                                         json.toRawUTF8(), json.getNumBytesAsUTF8());
        }
        catch (const RenderError& error)
        {
            printError (display, error.what());
            return fileFailed;
        }
    }

    if (wasInterrupted())
        return interruptedExit;

    if (! outcome.errors.isEmpty())
        return fileFailed;

    return outcome.missedTargets > 0 ? targetMissed : success;
}
} // namespace

int main (int argc, char* argv[])
{
    // Parameter trees and their timers expect JUCE's message manager to exist.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    KelvaneRender::installInterruptHandlers();

    return run (juce::StringArray (argv + 1, argc - 1));
}
