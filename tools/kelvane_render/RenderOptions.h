#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace KelvaneRender
{
/** The sample format of the files written: the input's unless the user chooses one. */
enum class OutputBits
{
    sameAsInput,
    int16,
    int24,
    float32
};

/** One `--set ID=TEXT`, as typed. */
struct ParameterSetting
{
    juce::String id;
    juce::String text;
};

/** Everything the command line asks for. */
struct RenderOptions
{
    juce::StringArray inputs;  ///< the files to render
    juce::String output;       ///< OUT when one file is rendered without --out-dir
    juce::String outputFolder; ///< --out-dir

    juce::String program; ///< --program NAME|NUMBER
    std::vector<ParameterSetting> settings;
    juce::String stateFile;
    juce::String saveStateFile;

    OutputBits bits = OutputBits::sameAsInput;
    bool dither = true;
    bool latencyCompensation = true;
    std::optional<double> targetLufs;
    std::optional<double> maxTruePeakDb;

    juce::String reportJsonFile;
    int jobs = 1;
    bool quiet = false;

    bool showHelp = false;
    bool showVersion = false;
    bool listParameters = false;
    bool listPrograms = false;
    juce::String demoFile; ///< --make-demo FILE

    /** True when at least one file is to be rendered. */
    [[nodiscard]] bool rendersFiles() const noexcept { return ! inputs.isEmpty(); }
};

/** Reads the command line (without the program name); throws RenderError with a one-line
    message when an option is unknown, lacks its value or has a malformed one, or when the
    files given do not form a valid command. */
[[nodiscard]] RenderOptions parseCommandLine (const juce::StringArray& arguments);

/** The text `--help` prints. */
[[nodiscard]] juce::String usageText();

} // namespace KelvaneRender
