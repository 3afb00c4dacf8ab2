#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace KelvaneRender
{
/** An input file opened for rendering: WAV, AIFF or FLAC, mono or stereo. It is read from
    the start on every pass. */
class AudioInput
{
public:
    /** Opens a file; throws RenderError with a one-line reason if it is missing, unreadable,
        not in a format the renderer reads, damaged, or has more than two channels. */
    explicit AudioInput (const juce::File& file);
    ~AudioInput();

    [[nodiscard]] const juce::File& getFile() const noexcept { return file; }
    [[nodiscard]] juce::String getFormatName() const { return formatName; }
    [[nodiscard]] double getSampleRate() const noexcept { return reader->sampleRate; }
    [[nodiscard]] int getNumChannels() const noexcept { return static_cast<int> (reader->numChannels); }
    [[nodiscard]] juce::int64 getLength() const noexcept { return reader->lengthInSamples; }
    [[nodiscard]] int getBitsPerSample() const noexcept { return static_cast<int> (reader->bitsPerSample); }
    [[nodiscard]] bool isFloatingPoint() const noexcept { return reader->usesFloatingPointData; }

    /** Reads frames [start, start + numFrames) into the first channels of `destination`, one
        per file channel; frames past the end of the file read as silence. Throws RenderError
        if the file cannot be read any more. */
    void read (juce::int64 start, int numFrames, juce::AudioBuffer<double>& destination);

private:
    juce::File file;
    juce::String formatName;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::AudioBuffer<float> scratch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioInput)
};

} // namespace KelvaneRender
