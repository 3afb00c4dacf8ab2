#include "OutputFormat.h"

#include "RenderError.h"

namespace KelvaneRender
{
juce::String OutputFormat::describeSamples() const
{
    return juce::String (bitsPerSample) + (floatingPoint ? "-bit float" : "-bit");
}

std::unique_ptr<juce::AudioFormat> OutputFormat::createFormat() const
{
    if (formatName == "AIFF")
        return std::make_unique<juce::AiffAudioFormat>();

    if (formatName == "FLAC")
        return std::make_unique<juce::FlacAudioFormat>();

    return std::make_unique<juce::WavAudioFormat>();
}

juce::String formatNameForExtension (const juce::File& file)
{
    const auto extension = file.getFileExtension().toLowerCase();

    if (extension == ".wav" || extension == ".wave")
        return "WAV";

    if (extension == ".aif" || extension == ".aiff" || extension == ".aifc")
        return "AIFF";

    if (extension == ".flac")
        return "FLAC";

    return {};
}

OutputFormat chooseOutputFormat (const juce::File& output, double sampleRate, int numChannels, int inputBits,
                                 bool inputIsFloat, OutputBits bits)
{
    OutputFormat format;
    format.formatName = formatNameForExtension (output);
    format.sampleRate = sampleRate;
    format.numChannels = numChannels;

    if (format.formatName.isEmpty())
        throw RenderError ((output.getFullPathName() + ": cannot tell the format from the extension \""
                            + output.getFileExtension() + "\"; use .wav, .aiff or .flac")
                               .toStdString());

    switch (bits)
    {
        case OutputBits::int16:   format.bitsPerSample = 16; break;
        case OutputBits::int24:   format.bitsPerSample = 24; break;
        case OutputBits::float32: format.bitsPerSample = 32; format.floatingPoint = true; break;
        case OutputBits::sameAsInput:
            // Files hold 32 bits only as floats here: JUCE writes a 32-bit WAV as float.
            format.floatingPoint = inputIsFloat || inputBits >= 32;
            format.bitsPerSample = format.floatingPoint ? 32 : inputBits;
            break;
    }

    const auto writer = format.createFormat();
    const bool depthPossible = writer->getPossibleBitDepths().contains (format.bitsPerSample);
    const bool floatPossible = format.formatName == "WAV";

    if (! depthPossible || (format.floatingPoint && ! floatPossible))
        throw RenderError ((output.getFullPathName() + ": " + format.formatName + " files cannot hold "
                            + format.describeSamples() + " samples; choose --bits 16 or --bits 24")
                               .toStdString());

    return format;
}

} // namespace KelvaneRender
