#include "AudioInput.h"

#include "RenderError.h"

namespace KelvaneRender
{
namespace
{
    [[noreturn]] void fail (const juce::File& file, const juce::String& reason)
    {
        throw RenderError ((file.getFullPathName() + ": " + reason).toStdString());
    }

    /** The readers for the formats the renderer handles, tried by extension first. */
    std::unique_ptr<juce::AudioFormatReader> openReader (const juce::File& file, juce::String& formatName)
    {
        juce::OwnedArray<juce::AudioFormat> formats;
        formats.add (new juce::WavAudioFormat());
        formats.add (new juce::AiffAudioFormat());
        formats.add (new juce::FlacAudioFormat());

        // The extension decides the first attempt; a file misnamed .wav that holds FLAC still reads.
        std::stable_sort (formats.begin(), formats.end(),
                          [&file] (juce::AudioFormat* a, juce::AudioFormat* b)
                          { return a->canHandleFile (file) && ! b->canHandleFile (file); });

        for (auto* format : formats)
        {
            auto stream = std::make_unique<juce::FileInputStream> (file);

            if (! stream->openedOk())
                return nullptr;

            // On success the reader owns the stream; on failure it stays ours.
            if (auto* reader = format->createReaderFor (stream.get(), false))
            {
                stream.release();
                formatName = format->getFormatName().upToFirstOccurrenceOf (" ", false, false);
                return std::unique_ptr<juce::AudioFormatReader> (reader);
            }
        }

        return nullptr;
    }
} // namespace

AudioInput::AudioInput (const juce::File& fileToRead)
    : file (fileToRead)
{
    if (file.isDirectory())
        fail (file, "is a folder, not an audio file");

    if (! file.existsAsFile())
        fail (file, "no such file");

    juce::FileInputStream probe (file);

    if (! probe.openedOk())
        fail (file, "cannot be opened (" + probe.getStatus().getErrorMessage() + ")");

    reader = openReader (file, formatName);

    if (reader == nullptr)
        fail (file, "not a WAV, AIFF or FLAC file, or damaged");

    if (reader->numChannels < 1 || reader->sampleRate <= 0.0 || reader->lengthInSamples < 0)
        fail (file, "damaged (no valid channel count, sample rate or length)");

    // JUCE reads the missing end of a cut-off WAV or AIFF file as silence; its header still
    // promises the whole length, which cannot fit in the bytes the file has.
    const auto bytesOfAudio = reader->lengthInSamples * static_cast<juce::int64> (reader->numChannels)
                            * static_cast<juce::int64> (reader->bitsPerSample / 8);

    if ((formatName == "WAV" || formatName == "AIFF") && bytesOfAudio > file.getSize())
        fail (file, "damaged: it ends before its audio does (cut off?)");

    if (reader->lengthInSamples == 0)
        fail (file, "holds no audio");

    if (reader->numChannels > 2)
        fail (file, juce::String (reader->numChannels) + " channels; only mono and stereo files can be mastered");

    scratch.setSize (static_cast<int> (reader->numChannels), 0);
}

AudioInput::~AudioInput() = default;

void AudioInput::read (juce::int64 start, int numFrames, juce::AudioBuffer<double>& destination)
{
    const auto channels = getNumChannels();
    scratch.setSize (channels, numFrames, false, false, true);
    scratch.clear();

    const auto available = juce::jlimit<juce::int64> (0, numFrames, getLength() - start);

    if (available > 0 && ! reader->read (&scratch, 0, static_cast<int> (available), start, true, channels > 1))
        fail (file, "cannot be read to the end (damaged or removed)");

    // The file's samples are exact in single precision for 16- and 24-bit and float files.
    for (int c = 0; c < channels; ++c)
    {
        const auto* source = scratch.getReadPointer (c);
        auto* target = destination.getWritePointer (c);

        for (int i = 0; i < numFrames; ++i)
            target[i] = static_cast<double> (source[i]);
    }
}

} // namespace KelvaneRender
