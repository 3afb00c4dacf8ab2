#pragma once

#include "RenderOptions.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace KelvaneRender
{
/** The file format and sample format of one output file. */
struct OutputFormat
{
    juce::String formatName; ///< "WAV", "AIFF" or "FLAC"
    int bitsPerSample = 24;
    bool floatingPoint = false;
    int numChannels = 2;
    double sampleRate = 44100.0;

    /** "24-bit" or "32-bit float". */
    [[nodiscard]] juce::String describeSamples() const;

    /** A new instance of the JUCE format that writes these files. */
    [[nodiscard]] std::unique_ptr<juce::AudioFormat> createFormat() const;
};

/** The format name ("WAV", "AIFF", "FLAC") a file name's extension stands for, or empty. */
[[nodiscard]] juce::String formatNameForExtension (const juce::File& file);

/** Decides the output format: the one OUT's extension names, the input's sample rate and
    channel count, and the input's sample format unless `bits` asks for another. Throws
    RenderError when the extension names no format the renderer writes, or the format cannot
    hold the samples. */
[[nodiscard]] OutputFormat chooseOutputFormat (const juce::File& output, double sampleRate, int numChannels,
                                               int inputBits, bool inputIsFloat, OutputBits bits);

} // namespace KelvaneRender
