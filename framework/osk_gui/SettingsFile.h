#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace OSK
{
/** The per-user settings file of the maker's products: where it lives, reading it as JSON and
    replacing it safely. The file is the per-user application-data folder + "/OskvarAudio/settings.json";
    tests point the folder elsewhere so a developer's own settings are never read or written.
    Message thread only. */
class SettingsFile
{
public:
    /** The file's usual place: the per-user application-data folder + "/OskvarAudio/settings.json" (message thread). */
    [[nodiscard]] static juce::File getDefaultFile();

    /** The file to use: settings.json in the folder set by setFolderForTesting, else the usual place (message thread). */
    [[nodiscard]] static juce::File getFile();

    /** Makes getFile use settings.json in another folder; an empty File restores the usual place.
        For tests only (message thread). */
    static void setFolderForTesting (const juce::File& folder);

    /** Reads the whole file as text and parses it as JSON; a missing, unreadable or malformed file
        gives a void var. Never writes (message thread). */
    [[nodiscard]] static juce::var read (const juce::File& file);

    /** Writes a value as JSON in the multi-line layout: makes the folder if needed (a file in the
        folder's place is deleted first), then replaces the file as replaceAtomically does. Returns
        false when nothing was replaced (message thread). */
    static bool write (const juce::File& file, const juce::var& settings);

    /** Writes the content through writeContent into a temporary file beside `file`, and only if
        that succeeded moves it over `file`: the file then holds either its old or its new content,
        never a part of it. writeContent returns false if it could not write everything; the
        temporary file is removed in any case. Returns true when the file was replaced (message thread). */
    static bool replaceAtomically (const juce::File& file, const std::function<bool (juce::OutputStream&)>& writeContent);
};

} // namespace OSK
