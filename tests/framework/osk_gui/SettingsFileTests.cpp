// The per-user settings file: where it lives, reading it with every fallback, and replacing it so
// that it is never left holding part of its content.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/SettingsFile.h"

#include <gtest/gtest.h>

using OSK::SettingsFile;

namespace
{
const char* const oldSettings = "{\n  \"knob_mode\": \"circular\",\n  \"knob_sensitivity\": \"low\",\n  \"gui_size\": \"xl\"\n}";

// Everything in the folder, hidden files included, by name.
juce::StringArray namesIn (const juce::File& folder)
{
    juce::StringArray names;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
        names.add (entry.getFile().getFileName());

    names.sort (false);
    return names;
}

juce::var settingsObject (const char* mode, const char* sensitivity, const char* size)
{
    auto* object = new juce::DynamicObject();
    object->setProperty ("knob_mode", mode);
    object->setProperty ("knob_sensitivity", sensitivity);
    object->setProperty ("gui_size", size);
    return juce::var (object);
}
} // namespace

TEST (SettingsFile, LivesInTheUsersApplicationDataFolder)
{
    const auto expected = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getFullPathName()
                          + "/OskvarAudio/settings.json";
    EXPECT_EQ (SettingsFile::getDefaultFile().getFullPathName(), expected);
}

TEST (SettingsFile, TestsCanPointItAtAnotherFolder)
{
    const auto before = SettingsFile::getFile();
    {
        const KelvaneTest::ScopedSettingsFolder folder;
        EXPECT_EQ (SettingsFile::getFile(), folder.folder.getChildFile ("settings.json"));
    }
    EXPECT_EQ (SettingsFile::getFile(), before);

    SettingsFile::setFolderForTesting ({});
    EXPECT_EQ (SettingsFile::getFile(), SettingsFile::getDefaultFile());
    SettingsFile::setFolderForTesting (before.getParentDirectory());
}

TEST (SettingsFile, ReadGivesNothingForAMissingEmptyOrMalformedFile)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto file = folder.settingsFile();
    EXPECT_TRUE (SettingsFile::read (file).isVoid());

    for (auto text : { "", "   \n", "{\"knob_mode\": ", "knob_mode=circular", "null" })
    {
        ASSERT_TRUE (file.replaceWithText (text));
        EXPECT_EQ (SettingsFile::read (file).getDynamicObject(), nullptr) << text;
    }

    ASSERT_TRUE (file.replaceWithText (oldSettings));
    const auto parsed = SettingsFile::read (file);
    ASSERT_NE (parsed.getDynamicObject(), nullptr);
    EXPECT_EQ (parsed["gui_size"].toString(), "xl");
}

TEST (SettingsFile, WriteUsesTheMultiLineLayoutWithTheKeysInOrder)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto file = folder.settingsFile();

    ASSERT_TRUE (SettingsFile::write (file, settingsObject ("circular", "normal", "m")));
    EXPECT_EQ (file.loadFileAsString(), juce::JSON::toString (settingsObject ("circular", "normal", "m"), false));

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.contains ("\n"));
    EXPECT_LT (text.indexOf ("\"knob_mode\": \"circular\""), text.indexOf ("\"knob_sensitivity\": \"normal\""));
    EXPECT_LT (text.indexOf ("\"knob_sensitivity\""), text.indexOf ("\"gui_size\": \"m\""));
}

TEST (SettingsFile, WriteMakesTheFolderAndReplacesAFileInItsPlace)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto makerFolder = folder.folder.getChildFile ("OskvarAudio");
    const auto file = makerFolder.getChildFile ("settings.json");

    ASSERT_TRUE (SettingsFile::write (file, settingsObject ("linear", "low", "s")));
    EXPECT_TRUE (file.existsAsFile());

    ASSERT_TRUE (makerFolder.deleteRecursively());
    ASSERT_TRUE (makerFolder.replaceWithText ("a file where the folder belongs"));
    ASSERT_TRUE (SettingsFile::write (file, settingsObject ("linear", "low", "s")));
    EXPECT_TRUE (makerFolder.isDirectory());
    EXPECT_TRUE (SettingsFile::read (file).getDynamicObject() != nullptr);
}

TEST (SettingsFile, AFailedWriteLeavesTheOldFileWhole)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto file = folder.settingsFile();
    ASSERT_TRUE (file.replaceWithText (oldSettings, false, false, nullptr));

    // A crash or a full disk halfway: part of the new content is out, then the writing fails.
    const auto newText = juce::JSON::toString (settingsObject ("linear", "normal", "m"));
    const auto replaced = SettingsFile::replaceAtomically (file, [&newText] (juce::OutputStream& stream)
    {
        stream.writeText (newText.substring (0, newText.length() / 2), false, false, nullptr);
        return false;
    });

    EXPECT_FALSE (replaced);
    EXPECT_EQ (file.loadFileAsString(), oldSettings);
    EXPECT_EQ (namesIn (folder.folder), juce::StringArray ("settings.json")); // no temporary file left behind
}

TEST (SettingsFile, ASuccessfulWriteReplacesTheWholeFile)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto file = folder.settingsFile();

    // A longer old file: nothing of its tail may survive the shorter new content.
    ASSERT_TRUE (file.replaceWithText (juce::String (oldSettings) + juce::String::repeatedString (" ", 500), false, false, nullptr));

    EXPECT_TRUE (SettingsFile::replaceAtomically (file, [] (juce::OutputStream& stream) { return stream.writeText ("{}", false, false, nullptr); }));
    EXPECT_EQ (file.loadFileAsString(), "{}");
    EXPECT_EQ (namesIn (folder.folder), juce::StringArray ("settings.json"));
}

TEST (SettingsFile, AFileThatCannotBeReplacedIsLeftAlone)
{
    const KelvaneTest::ScopedSettingsFolder folder;
    const auto file = folder.settingsFile();
    ASSERT_TRUE (file.createDirectory()); // a folder that is not empty where the file belongs
    ASSERT_TRUE (file.getChildFile ("keep.txt").replaceWithText ("kept"));

    EXPECT_FALSE (SettingsFile::write (file, settingsObject ("linear", "normal", "m")));
    EXPECT_TRUE (file.isDirectory());
    EXPECT_EQ (file.getChildFile ("keep.txt").loadFileAsString(), "kept");
    EXPECT_EQ (namesIn (folder.folder), juce::StringArray ("settings.json"));
}
