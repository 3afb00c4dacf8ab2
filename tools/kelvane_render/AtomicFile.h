#pragma once

#include "OutputFormat.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <memory>

namespace KelvaneRender
{
/** A file that appears under its name only when it is complete. It is written to a hidden
    temporary file beside the target and renamed over it at the end, so that a failed or
    interrupted write never leaves a half-written file or destroys the one already there.
    Until commit() succeeds, destroying it removes the temporary file.
*/
class AtomicFile
{
public:
    /** Creates the temporary file; throws RenderError naming the target if it cannot be
        created (a missing folder, no permission). */
    explicit AtomicFile (const juce::File& target);
    ~AtomicFile();

    /** A stream that writes the temporary file and records any failure; hand it to one writer,
        which then owns it. */
    [[nodiscard]] std::unique_ptr<juce::OutputStream> createStream();

    /** Renames the complete temporary file over the target; throws RenderError if any write
        failed or the rename does. Every stream must have been destroyed before. */
    void commit();

    [[nodiscard]] const juce::File& getTarget() const noexcept { return target; }
    [[nodiscard]] const juce::File& getTemporaryFile() const noexcept { return temporary; }

    /** Writes a whole file at once through a temporary file. Throws RenderError on failure. */
    static void replaceWithData (const juce::File& target, const void* data, size_t size);

private:
    class CheckedStream;

    juce::File target;
    juce::File temporary;
    juce::String failure;
    std::atomic<bool> failed { false };
    bool committed = false;

    [[noreturn]] void fail (const juce::String& reason) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtomicFile)
};

/** An audio file written through an AtomicFile: blocks of samples in, a complete file under
    the target's name after commit(). */
class AtomicAudioFile
{
public:
    /** Opens a writer for the format; throws RenderError if the file cannot be created or the
        format refuses the settings. */
    AtomicAudioFile (const juce::File& target, const OutputFormat& format);
    ~AtomicAudioFile();

    /** Writes a block: one array per channel, in the writer's form (see SampleQuantiser). */
    void write (const int* const* channels, int numFrames);

    /** Finishes the file and puts it in place. */
    void commit();

    [[nodiscard]] const juce::File& getTarget() const noexcept { return file.getTarget(); }

private:
    AtomicFile file;
    std::unique_ptr<juce::AudioFormat> format;
    std::unique_ptr<juce::AudioFormatWriter> writer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AtomicAudioFile)
};

} // namespace KelvaneRender
