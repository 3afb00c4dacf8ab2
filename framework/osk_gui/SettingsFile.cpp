#include "osk_gui/SettingsFile.h"

namespace OSK
{
namespace
{
    constexpr const char* makerFolderName = "OskvarAudio";
    constexpr const char* settingsFileName = "settings.json";
    constexpr size_t writeBufferSize = 32768;

    juce::File& folderForTesting()
    {
        static juce::File folder;
        return folder;
    }
} // namespace

juce::File SettingsFile::getDefaultFile()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile (makerFolderName)
        .getChildFile (settingsFileName);
}

juce::File SettingsFile::getFile()
{
    const auto& folder = folderForTesting();
    return folder == juce::File() ? getDefaultFile() : folder.getChildFile (settingsFileName);
}

void SettingsFile::setFolderForTesting (const juce::File& folder)
{
    folderForTesting() = folder;
}

juce::var SettingsFile::read (const juce::File& file)
{
    if (! file.existsAsFile())
        return {};

    const auto text = file.loadFileAsString();

    if (text.trim().isEmpty())
        return {};

    juce::var parsed;

    if (juce::JSON::parse (text, parsed).failed())
        return {};

    return parsed;
}

bool SettingsFile::write (const juce::File& file, const juce::var& settings)
{
    const auto folder = file.getParentDirectory();

    if (! folder.isDirectory())
    {
        folder.deleteFile();

        if (folder.createDirectory().failed())
            return false;
    }

    return replaceAtomically (file, [&settings] (juce::OutputStream& stream)
    {
        juce::JSON::writeToStream (stream, settings, false);
        return true;
    });
}

bool SettingsFile::replaceAtomically (const juce::File& file, const std::function<bool (juce::OutputStream&)>& writeContent)
{
    // Writing the file in place would leave it truncated after a crash or a full disk, and the
    // user's settings lost; the temporary file sits in the same folder so that the final move is
    // a rename on the same file system.
    const juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);
    auto written = false;

    {
        juce::FileOutputStream stream (temporary.getFile(), writeBufferSize);

        if (! stream.openedOk())
            return false;

        written = writeContent (stream);
        stream.flush();
        written = written && stream.getStatus().wasOk();
    }

    return written && temporary.overwriteTargetFileWithTemporary();
}

} // namespace OSK
