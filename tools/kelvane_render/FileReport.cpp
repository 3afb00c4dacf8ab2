#include "FileReport.h"

#include <cmath>

namespace KelvaneRender
{
namespace
{
    /** A level with one decimal and its sign; "-inf" for silence. */
    juce::String level (double value, int decimals = 1)
    {
        if (! std::isfinite (value))
            return value < 0.0 ? "-inf" : "+inf";

        const auto text = juce::String (value, decimals);
        return value >= 0.0 && ! text.startsWith ("-") ? "+" + text : text;
    }

    juce::String kiloHertz (double sampleRate)
    {
        const auto khz = sampleRate / 1000.0;
        return juce::String (khz, khz == std::floor (khz) ? 0 : 1) + " kHz";
    }

    juce::String duration (juce::int64 samples, double sampleRate)
    {
        const auto seconds = static_cast<double> (samples) / sampleRate;
        const auto minutes = static_cast<int> (seconds / 60.0);
        return juce::String (minutes) + ":" + juce::String (seconds - 60.0 * minutes, 2).paddedLeft ('0', 5);
    }

    juce::String row (const juce::String& name, const juce::String& in, const juce::String& out, const juce::String& unit)
    {
        return ("  " + name.paddedRight (' ', 16) + in.paddedLeft (' ', 8) + out.paddedLeft (' ', 10) + "  " + unit).trimEnd() + "\n";
    }

    juce::String reduction (const char* name, const std::optional<double>& db)
    {
        return juce::String (name) + " " + (db ? juce::String (*db, 1) + " dB" : juce::String ("bypassed"));
    }

    juce::String targetLine (const char* name, const TargetResult& target, const char* unit, int passes)
    {
        return "  " + juce::String (name).paddedRight (' ', 16) + level (target.target) + " " + unit + ": "
             + (target.met ? "met" : "NOT met") + " (" + level (target.achieved, 2) + " " + unit + ", "
             + juce::String (passes) + (passes == 1 ? " pass" : " passes") + ")\n";
    }

    /** A number for JSON: null for the minus infinity of silence. */
    juce::var number (double value)
    {
        return std::isfinite (value) ? juce::var (value) : juce::var();
    }

    juce::var number (const std::optional<double>& value)
    {
        return value ? number (*value) : juce::var();
    }

    juce::var figuresToJson (const LoudnessFigures& figures)
    {
        auto* object = new juce::DynamicObject();
        object->setProperty ("integratedLufs", number (figures.integratedLufs));
        object->setProperty ("loudnessRangeLu", number (figures.loudnessRangeLu));
        object->setProperty ("samplePeakDbfs", number (figures.samplePeakDb));
        object->setProperty ("truePeakDbtp", number (figures.truePeakDb));
        return juce::var (object);
    }

    /** A number with at most three decimals, as a person would write it. */
    juce::String jsonNumber (double value)
    {
        if (value == std::floor (value) && std::abs (value) < 1.0e15)
            return juce::String (static_cast<juce::int64> (value));

        auto text = juce::String (value, 3);

        while (text.endsWithChar ('0'))
            text = text.dropLastCharacters (1);

        return text.endsWithChar ('.') ? text.dropLastCharacters (1) : text;
    }

    /** JSON text of a report tree, indented by two spaces a level. JUCE's own writer would
        print every double with fifteen decimals. */
    void writeJson (juce::String& out, const juce::var& value, int depth)
    {
        const auto indent = juce::String::repeatedString ("  ", depth + 1);
        const auto closingIndent = juce::String::repeatedString ("  ", depth);

        if (value.isVoid() || value.isUndefined())
            out << "null";
        else if (value.isBool())
            out << (static_cast<bool> (value) ? "true" : "false");
        else if (value.isInt() || value.isInt64() || value.isDouble())
            out << (std::isfinite (static_cast<double> (value)) ? jsonNumber (static_cast<double> (value)) : juce::String ("null"));
        else if (value.isString())
            out << "\"" << juce::JSON::escapeString (value.toString()) << "\"";
        else if (auto* array = value.getArray())
        {
            if (array->isEmpty())
            {
                out << "[]";
                return;
            }

            out << "[\n";

            for (int i = 0; i < array->size(); ++i)
            {
                out << indent;
                writeJson (out, array->getReference (i), depth + 1);
                out << (i + 1 < array->size() ? ",\n" : "\n");
            }

            out << closingIndent << "]";
        }
        else if (auto* object = value.getDynamicObject())
        {
            const auto& properties = object->getProperties();
            out << "{\n";

            for (int i = 0; i < properties.size(); ++i)
            {
                out << indent << "\"" << juce::JSON::escapeString (properties.getName (i).toString()) << "\": ";
                writeJson (out, properties.getValueAt (i), depth + 1);
                out << (i + 1 < properties.size() ? ",\n" : "\n");
            }

            out << closingIndent << "}";
        }
        else
            out << "null";
    }

    juce::var targetToJson (const std::optional<TargetResult>& target)
    {
        if (! target)
            return {};

        auto* object = new juce::DynamicObject();
        object->setProperty ("target", number (target->target));
        object->setProperty ("achieved", number (target->achieved));
        object->setProperty ("met", target->met);
        return juce::var (object);
    }
} // namespace

juce::String formatReportTable (const FileReport& r)
{
    juce::String text;
    text << r.input.getFileName() << " -> " << r.output.getFullPathName() << "\n";
    text << "  " << r.inputFormat << " " << r.inputSamples << " -> " << r.outputFormat << " " << r.outputSamples
         << (r.dithered ? " (TPDF dither)" : "") << ", " << kiloHertz (r.sampleRate) << ", " << (r.numChannels == 1 ? "mono (as dual mono)" : "stereo") << ", " << duration (r.lengthInSamples, r.sampleRate)
         << (r.latencyCompensated ? "" : ", latency kept") << "\n";
    text << "  Settings        " << r.settings << "\n";
    text << "  Limiter         drive " << r.driveText << " dB, ceiling " << r.ceilingText << " dB\n";
    text << row ("", "input", "output", "");
    text << row ("Integrated", level (r.inputFigures.integratedLufs), level (r.outputFigures.integratedLufs), "LUFS");
    text << row ("Loudness range", juce::String (r.inputFigures.loudnessRangeLu, 1), juce::String (r.outputFigures.loudnessRangeLu, 1), "LU");
    text << row ("Sample peak", level (r.inputFigures.samplePeakDb), level (r.outputFigures.samplePeakDb), "dBFS");
    text << row ("True peak", level (r.inputFigures.truePeakDb), level (r.outputFigures.truePeakDb), "dBTP");
    text << "  Gain reduction  " << reduction ("expander", r.reductions.expanderDb) << ", "
         << reduction ("compressor", r.reductions.compressorDb) << ", " << reduction ("limiter", r.reductions.limiterDb)
         << " (largest)\n";

    if (r.loudnessTarget)
        text << targetLine ("Loudness target", *r.loudnessTarget, "LUFS", r.passes);

    if (r.truePeakTarget)
        text << targetLine ("True-peak limit", *r.truePeakTarget, "dBTP", r.passes);

    return text;
}

juce::var reportToJson (const FileReport& r)
{
    auto* settings = new juce::DynamicObject();
    settings->setProperty ("description", r.settings);
    settings->setProperty ("limiterDriveDb", number (r.driveDb));
    settings->setProperty ("limiterCeilingDb", number (r.ceilingDb));

    auto* reductions = new juce::DynamicObject();
    reductions->setProperty ("expander", number (r.reductions.expanderDb));
    reductions->setProperty ("compressor", number (r.reductions.compressorDb));
    reductions->setProperty ("limiter", number (r.reductions.limiterDb));

    auto* object = new juce::DynamicObject();
    object->setProperty ("input", r.input.getFullPathName());
    object->setProperty ("output", r.output.getFullPathName());
    object->setProperty ("inputFormat", r.inputFormat + " " + r.inputSamples);
    object->setProperty ("outputFormat", r.outputFormat + " " + r.outputSamples);
    object->setProperty ("sampleRate", r.sampleRate);
    object->setProperty ("channels", r.numChannels);
    object->setProperty ("lengthSamples", r.lengthInSamples);
    object->setProperty ("latencyCompensated", r.latencyCompensated);
    object->setProperty ("dithered", r.dithered);
    object->setProperty ("settings", juce::var (settings));
    object->setProperty ("inputAnalysis", figuresToJson (r.inputFigures));
    object->setProperty ("outputAnalysis", figuresToJson (r.outputFigures));
    object->setProperty ("largestGainReductionDb", juce::var (reductions));
    object->setProperty ("loudnessTarget", targetToJson (r.loudnessTarget));
    object->setProperty ("truePeakTarget", targetToJson (r.truePeakTarget));
    object->setProperty ("passes", r.passes);

    juce::Array<juce::var> warnings;

    for (const auto& warning : r.warnings)
        warnings.add (warning);

    object->setProperty ("warnings", warnings);
    return juce::var (object);
}

juce::String runToJson (const std::vector<FileReport>& reports, const juce::StringArray& errors)
{
    juce::Array<juce::var> files, errorList;

    for (const auto& report : reports)
        files.add (reportToJson (report));

    for (const auto& error : errors)
        errorList.add (error);

    auto* object = new juce::DynamicObject();
    object->setProperty ("tool", "kelvane-render");
    object->setProperty ("version", juce::String (KELVANE_RENDER_VERSION));
    object->setProperty ("files", files);
    object->setProperty ("errors", errorList);
    juce::String text;
    writeJson (text, juce::var (object), 0);
    return text + "\n";
}

} // namespace KelvaneRender
