#include "RenderOptions.h"

#include "osk_base_processor/NumberText.h"
#include "RenderError.h"

#include <cmath>

namespace KelvaneRender
{
namespace
{
    [[noreturn]] void fail (const juce::String& message) { throw RenderError (message.toStdString()); }

    /** Walks the arguments, handing out option values. */
    class ArgumentReader
    {
    public:
        explicit ArgumentReader (const juce::StringArray& argumentsToRead) : arguments (argumentsToRead) {}

        [[nodiscard]] bool atEnd() const noexcept { return position >= arguments.size(); }
        juce::String next() { return arguments[position++]; }

        /** The value of an option: the text after "=" in "--name=value", or the next argument. */
        juce::String valueOf (const juce::String& option, const juce::String& inlineValue, bool hasInlineValue)
        {
            if (hasInlineValue)
                return inlineValue;

            if (atEnd())
                fail (option + " needs a value (see --help)");

            return next();
        }

    private:
        const juce::StringArray& arguments;
        int position = 0;
    };

    double numberFor (const juce::String& option, const juce::String& text)
    {
        if (const auto number = OSK::NumberText::wholeNumber (text))
            return *number;

        fail (option + " expects a number, not \"" + text + "\"");
    }

    OutputBits bitsFor (const juce::String& text)
    {
        const auto t = text.trim().toLowerCase();

        if (t == "16")
            return OutputBits::int16;

        if (t == "24")
            return OutputBits::int24;

        if (t == "32f" || t == "32")
            return OutputBits::float32;

        fail ("--bits expects 16, 24 or 32f, not \"" + text + "\"");
    }

    ParameterSetting settingFor (const juce::String& text)
    {
        const auto equals = text.indexOfChar ('=');

        if (equals <= 0)
            fail ("--set expects ID=TEXT, as in --set CompThr=-12, not \"" + text + "\"");

        return { text.substring (0, equals).trim(), text.substring (equals + 1).trim() };
    }

    void checkCombination (RenderOptions& options, const juce::StringArray& positional)
    {
        if (options.outputFolder.isNotEmpty())
        {
            options.inputs = positional;

            if (options.inputs.isEmpty())
                fail ("--out-dir needs at least one input file");

            return;
        }

        if (positional.size() == 1)
            fail ("missing the output file: kelvane-render IN OUT, or IN... --out-dir DIR");

        if (positional.size() > 2)
            fail ("several input files need --out-dir DIR (got " + juce::String (positional.size()) + " file names)");

        if (positional.size() == 2)
        {
            options.inputs.add (positional[0]);
            options.output = positional[1];
        }

        const bool doesSomething = options.rendersFiles() || options.listParameters || options.listPrograms
                                || options.saveStateFile.isNotEmpty() || options.demoFile.isNotEmpty();

        if (! doesSomething)
            fail ("nothing to do: give IN OUT (see --help)");
    }
} // namespace

RenderOptions parseCommandLine (const juce::StringArray& arguments)
{
    RenderOptions options;
    juce::StringArray positional;
    ArgumentReader reader (arguments);
    bool onlyFilesFollow = false;

    while (! reader.atEnd())
    {
        const auto argument = reader.next();

        if (onlyFilesFollow || ! argument.startsWith ("-") || argument == "-")
        {
            positional.add (argument);
            continue;
        }

        if (argument == "--")
        {
            onlyFilesFollow = true;
            continue;
        }

        // "--name=value" and "--name value" both work.
        const bool hasInlineValue = argument.startsWith ("--") && argument.containsChar ('=');
        const auto name = hasInlineValue ? argument.upToFirstOccurrenceOf ("=", false, false) : argument;
        const auto inlineValue = argument.fromFirstOccurrenceOf ("=", false, false);
        const auto value = [&] { return reader.valueOf (name, inlineValue, hasInlineValue); };

        if (name == "-h" || name == "--help")
            options.showHelp = true;
        else if (name == "--version")
            options.showVersion = true;
        else if (name == "--out-dir" || name == "-o")
            options.outputFolder = value();
        else if (name == "--program" || name == "-p")
            options.program = value();
        else if (name == "--set" || name == "-s")
            options.settings.push_back (settingFor (value()));
        else if (name == "--state")
            options.stateFile = value();
        else if (name == "--save-state")
            options.saveStateFile = value();
        else if (name == "--bits")
            options.bits = bitsFor (value());
        else if (name == "--no-dither")
            options.dither = false;
        else if (name == "--no-compensation")
            options.latencyCompensation = false;
        else if (name == "--target-lufs")
            options.targetLufs = numberFor (name, value());
        else if (name == "--max-true-peak")
            options.maxTruePeakDb = numberFor (name, value());
        else if (name == "--report-json")
            options.reportJsonFile = value();
        else if (name == "--jobs" || name == "-j")
        {
            const auto text = value();
            const auto jobs = OSK::NumberText::wholeNumber (text);

            if (! jobs || *jobs < 1.0 || *jobs > 256.0 || *jobs != std::floor (*jobs))
                fail ("--jobs expects a whole number from 1 to 256, not \"" + text + "\"");

            options.jobs = static_cast<int> (*jobs);
        }
        else if (name == "--quiet" || name == "-q")
            options.quiet = true;
        else if (name == "--list-parameters")
            options.listParameters = true;
        else if (name == "--list-programs")
            options.listPrograms = true;
        else if (name == "--make-demo")
            options.demoFile = value();
        else
            fail ("unknown option " + name + " (see --help)");

        if (hasInlineValue && (name == "--no-dither" || name == "--no-compensation" || name == "--quiet"
                               || name == "--list-parameters" || name == "--list-programs" || name == "--help"))
            fail (name + " takes no value");
    }

    if (options.showHelp || options.showVersion)
        return options;

    if (options.program.isNotEmpty() && options.stateFile.isNotEmpty())
        fail ("--program and --state both set every parameter; give one of them");

    if (options.targetLufs && (*options.targetLufs < -70.0 || *options.targetLufs > 0.0))
        fail ("--target-lufs expects a loudness from -70 to 0 LUFS, not " + juce::String (*options.targetLufs));

    if (options.maxTruePeakDb && (*options.maxTruePeakDb < -30.0 || *options.maxTruePeakDb > 0.0))
        fail ("--max-true-peak expects a level from -30 to 0 dBTP, not " + juce::String (*options.maxTruePeakDb));

    checkCombination (options, positional);
    return options;
}

juce::String usageText()
{
    return R"(kelvane-render: masters audio files through Kelvane's mastering chain.

Usage:
  kelvane-render IN OUT [options]
  kelvane-render IN... --out-dir DIR [options]
  kelvane-render --list-parameters | --list-programs [settings]
  kelvane-render --make-demo FILE

OUT is written in IN's sample rate and bit depth, in the format its extension names (.wav,
.aif/.aiff, .flac); with --out-dir each file keeps its name and format. OUT is sample-aligned
with IN and just as long: the chain's latency of 2689 samples is compensated. Mono files are
mastered as dual mono and written as mono; files with more than two channels are refused.
A file is only replaced once its new version is complete.

Settings (a program or a state first, then every --set in the order given):
  -p, --program NAME|NUMBER   a factory program, by name or by its number in --list-programs
      --state FILE            a Kelvane state as a host stores it (the blob, or base64 text)
  -s, --set ID=TEXT           one parameter, typed as the plug-in shows it; repeatable
                              (--set CompThr=-12 --set CompRtio=4 --set "EQ Mode=IIR")
      --save-state FILE       write the resulting state, for a host or a later --state

Output:
      --bits 16|24|32f        sample format of the output (16 and 24 bit get TPDF dither)
      --no-dither             round to 16 or 24 bit without dither
      --no-compensation       keep the latency: write what a host would record
  -o, --out-dir DIR           folder for the rendered files (created when missing)

Loudness:
      --target-lufs X         find the limiter drive (LGain) that gives X LUFS integrated
      --max-true-peak X       lower the limiter ceiling (LCeil) until the true peak is at most
                              X dBTP (streaming services ask for -1)
      --report-json FILE      write every file's report as JSON

Other:
  -j, --jobs N                render N files at a time
  -q, --quiet                 print only errors and warnings
      --list-parameters       print every parameter ID with its value text
      --list-programs         print the factory programs
      --make-demo FILE        write a 12-second stereo test piece (24-bit WAV, 44.1 kHz)
      --version, -h, --help

The report gives integrated loudness (LUFS), loudness range (LU), sample peak (dBFS) and
true peak (dBTP, ITU-R BS.1770-4, 4x oversampling) of input and output, and the largest gain
reduction of the expander, compressor and limiter.

Exit status: 0 every file rendered (and every target met), 1 a file could not be rendered,
2 the command or its settings are wrong (nothing rendered), 3 a target was not met.
)";
}

} // namespace KelvaneRender
