#pragma once

// Shared pieces of the kelvane-render tests: a scratch folder, test signals, audio files
// written and read through JUCE, and a way to run the built program.

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

namespace KelvaneRenderTest
{
constexpr double pi = 3.14159265358979323846;

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();

    [[nodiscard]] juce::File file (const juce::String& name) const { return folder.getChildFile (name); }
    [[nodiscard]] const juce::File& getFolder() const noexcept { return folder; }

    /** The names of the files in the folder, hidden ones included, sorted. */
    [[nodiscard]] juce::StringArray listFiles() const;

private:
    juce::File folder;
};

/** An audio file's samples and sample format. */
struct AudioFileContents
{
    juce::AudioBuffer<double> audio;
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    bool floatingPoint = false;
    juce::String formatName;
};

/** Writes samples as WAV, AIFF or FLAC (by the file's extension) with the given bits
    (32 means float); the samples are rounded, not dithered. */
void writeAudioFile (const juce::File& file, const juce::AudioBuffer<double>& audio, double sampleRate, int bitsPerSample);

/** Reads a whole WAV, AIFF or FLAC file; fails the test if it cannot. */
[[nodiscard]] AudioFileContents readAudioFile (const juce::File& file);

/** A stereo buffer of silence. */
[[nodiscard]] juce::AudioBuffer<double> silence (int numChannels, int numSamples);

/** Adds a sine of a peak amplitude and start phase (radians) to every channel. */
void addSine (juce::AudioBuffer<double>& audio, double frequency, double sampleRate, double amplitude, double phase = 0.0);

/** Adds white noise of a peak amplitude over a range of samples, different on each channel, from a fixed seed. */
void addNoise (juce::AudioBuffer<double>& audio, int start, int length, double amplitude, int seed);

/** What the program printed and how it ended. */
struct ProgramRun
{
    int exitCode = -1;
    juce::String output; ///< standard output and standard error together
};

/** Runs the built kelvane-render with arguments and waits for it. */
[[nodiscard]] ProgramRun runRender (const juce::StringArray& arguments);

/** The index of the largest magnitude in a channel. */
[[nodiscard]] int indexOfPeak (const juce::AudioBuffer<double>& audio, int channel);

/** The lag (within ±maxLag) at which `output` best matches `input` over [start, start + length). */
[[nodiscard]] int bestLag (const juce::AudioBuffer<double>& input, const juce::AudioBuffer<double>& output, int channel,
                           int start, int length, int maxLag);

/** The file's bytes. */
[[nodiscard]] juce::MemoryBlock fileBytes (const juce::File& file);

} // namespace KelvaneRenderTest
