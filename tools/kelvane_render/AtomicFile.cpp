#include "AtomicFile.h"

#include "RenderError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace KelvaneRender
{
/** Writes to a file and remembers the first failure, which a writer that owns the stream would
    otherwise keep to itself. */
class AtomicFile::CheckedStream : public juce::OutputStream
{
public:
    CheckedStream (const juce::File& file, AtomicFile& ownerToTell)
        : stream (file)
        , owner (ownerToTell)
    {
        if (stream.openedOk())
            stream.truncate();

        check();
    }

    ~CheckedStream() override
    {
        // JUCE's file stream syncs the data to the disk when flushed.
        stream.flush();
        check();
    }

    void flush() override
    {
        stream.flush();
        check();
    }

    bool setPosition (juce::int64 position) override { return check (stream.setPosition (position)); }
    juce::int64 getPosition() override { return stream.getPosition(); }
    bool write (const void* data, size_t size) override { return check (stream.write (data, size)); }

private:
    bool check (bool succeeded = true)
    {
        if ((! succeeded || stream.failedToOpen() || stream.getStatus().failed()) && ! owner.failed.exchange (true))
            owner.failure = stream.getStatus().failed() ? stream.getStatus().getErrorMessage() : juce::String ("write failed");

        return succeeded;
    }

    juce::FileOutputStream stream;
    AtomicFile& owner;
};

namespace
{
    std::atomic<int> temporaryCounter { 0 };
} // namespace

AtomicFile::AtomicFile (const juce::File& targetFile)
    : target (targetFile)
{
    const auto folder = target.getParentDirectory();

    if (! folder.isDirectory())
        fail ("the folder " + folder.getFullPathName() + " does not exist");

    if (target.isDirectory())
        fail ("is a folder");

    // Hidden, beside the target (a rename never crosses file systems) and unique per process and file.
    const auto stem = "." + target.getFileName() + ".kelvane-" + juce::String (static_cast<int> (getpid())) + "-";

    do
        temporary = folder.getChildFile (stem + juce::String (++temporaryCounter) + ".part");
    while (temporary.exists());

    // Creating it now finds an unwritable folder before any rendering.
    if (const auto created = temporary.create(); created.failed())
        fail ("cannot create a file in " + folder.getFullPathName() + " (" + created.getErrorMessage() + ")");
}

AtomicFile::~AtomicFile()
{
    if (! committed)
        temporary.deleteFile();
}

void AtomicFile::fail (const juce::String& reason) const
{
    throw RenderError ((target.getFullPathName() + ": " + reason).toStdString());
}

std::unique_ptr<juce::OutputStream> AtomicFile::createStream()
{
    return std::make_unique<CheckedStream> (temporary, *this);
}

void AtomicFile::commit()
{
    if (failed.load())
        fail ("cannot be written (" + failure + ")");

    // rename() replaces the target in one step; JUCE's move would delete it first.
    if (std::rename (temporary.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
        fail ("cannot be replaced (" + juce::String (std::strerror (errno)) + ")");

    committed = true;
}

void AtomicFile::replaceWithData (const juce::File& target, const void* data, size_t size)
{
    AtomicFile file (target);

    {
        auto stream = file.createStream();
        stream->write (data, size);
    }

    file.commit();
}

//==============================================================================
AtomicAudioFile::AtomicAudioFile (const juce::File& target, const OutputFormat& outputFormat)
    : file (target)
    , format (outputFormat.createFormat())
{
    auto stream = file.createStream();
    const auto flacLevel = outputFormat.formatName == "FLAC" ? 5 : 0; // flac's own default compression

    writer.reset (format->createWriterFor (stream.get(), outputFormat.sampleRate,
                                           static_cast<unsigned int> (outputFormat.numChannels),
                                           outputFormat.bitsPerSample, {}, flacLevel));

    if (writer == nullptr)
        throw RenderError ((target.getFullPathName() + ": the " + outputFormat.formatName + " writer refuses "
                            + outputFormat.describeSamples() + " at " + juce::String (outputFormat.sampleRate) + " Hz")
                               .toStdString());

    stream.release();
}

AtomicAudioFile::~AtomicAudioFile()
{
    // The writer goes before the file, which then removes the temporary file unless committed.
    writer.reset();
}

void AtomicAudioFile::write (const int* const* channels, int numFrames)
{
    if (numFrames <= 0)
        return;

    if (! writer->write (const_cast<const int**> (channels), numFrames))
        throw RenderError ((getTarget().getFullPathName() + ": cannot be written (disk full or removed?)").toStdString());
}

void AtomicAudioFile::commit()
{
    // Destroying the writer completes the file's header and flushes it to the disk.
    writer.reset();
    file.commit();
}

} // namespace KelvaneRender
