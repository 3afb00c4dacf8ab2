// The settings menu on the base editor: loading the user's settings with every fallback, applying
// them to the knobs and the window scale, saving them when the user picks one, the popup's items
// and ticks, and the places the actions would open. Nothing here opens a popup, a dialog or a page.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/BaseEditor.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using OSK::Menu;

namespace
{
struct SettingsMenu : ::testing::Test
{
    SettingsMenu()
    {
        for (auto y : { 29, 164, 299 })
            addKnob (y);

        fader = addKnob (429);
        fader->setSliderStyle (juce::Slider::LinearVertical);
    }

    ~SettingsMenu() override { juce::Desktop::getInstance().setGlobalScaleFactor (1.0f); }

    OSK::Knob* addKnob (int y)
    {
        auto* knob = editor.knobs.add (new OSK::Knob ("KnobExp_png", 39, y));
        editor.addAndMakeVisible (knob);
        return knob;
    }

    // Puts every knob and the window scale somewhere no setting puts them, so a load must set them.
    void scramble()
    {
        for (auto* knob : editor.knobs)
        {
            if (knob != fader)
                knob->setSliderStyle (juce::Slider::RotaryHorizontalDrag);

            knob->setMouseDragSensitivity (999);
        }

        juce::Desktop::getInstance().setGlobalScaleFactor (1.25f);
    }

    void expectKnobs (juce::Slider::SliderStyle style, int dragDistance)
    {
        for (auto* knob : editor.knobs)
        {
            EXPECT_EQ (knob->getSliderStyle(), knob == fader ? juce::Slider::LinearVertical : style);
            EXPECT_EQ (knob->getMouseDragSensitivity(), dragDistance);
        }
    }

    static float scale() { return juce::Desktop::getInstance().getGlobalScaleFactor(); }

    KelvaneTest::ScopedSettingsFolder settingsFolder;
    OSK::KelvaneProcessor processor;
    OSK::BaseEditor editor { processor };
    OSK::Knob* fader = nullptr;
};

// The IDs, texts and ticks of a popup's items, sub-menus and separators (ID 0) included.
struct Item
{
    int id;
    juce::String text;
    bool ticked;
    bool hasSubMenu;
};

std::vector<Item> itemsOf (const juce::PopupMenu& menu)
{
    std::vector<Item> items;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        items.push_back ({ item.itemID, item.text, item.isTicked, item.subMenu != nullptr });
    }

    return items;
}

const juce::PopupMenu& subMenu (const juce::PopupMenu& menu, const juce::String& name)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == name && it.getItem().subMenu != nullptr)
            return *it.getItem().subMenu;

    static const juce::PopupMenu none;
    ADD_FAILURE() << "no sub-menu " << name;
    return none;
}

std::vector<int> tickedIds (const juce::PopupMenu& menu)
{
    std::vector<int> ids;

    for (const auto& item : itemsOf (menu))
        if (item.ticked)
            ids.push_back (item.id);

    return ids;
}
} // namespace

//==============================================================================
TEST_F (SettingsMenu, TakesTheSettingsFileFromTheSettingsFolder)
{
    EXPECT_EQ (editor.menu.settingsFilePath, settingsFolder.settingsFile().getFullPathName());
    EXPECT_EQ (&editor.menu.editor, &editor);
}

TEST_F (SettingsMenu, NoFileGivesTheDefaultsAndCreatesNoFile)
{
    scramble();
    editor.menu.loadSettings();

    expectKnobs (juce::Slider::RotaryHorizontalVerticalDrag, 215);
    EXPECT_EQ (scale(), 1.0f);
    EXPECT_EQ (editor.menu.knobMode, Menu::linear);
    EXPECT_EQ (editor.menu.knobSensitivity, Menu::normal);
    EXPECT_EQ (editor.menu.uiSize, Menu::m);
    EXPECT_FALSE (settingsFolder.settingsFile().exists());
    EXPECT_EQ (settingsFolder.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

struct LoadCase
{
    const char* name;
    const char* fileText;
    Menu::MenuChoice mode;
    Menu::MenuChoice sensitivity;
    Menu::MenuChoice size;
    float scale;
};

std::ostream& operator<< (std::ostream& out, const LoadCase& c) { return out << c.name; }

struct SettingsLoad : SettingsMenu, ::testing::WithParamInterface<LoadCase>
{
};

TEST_P (SettingsLoad, AppliesWhatTheFileSaysAndTheDefaultsForTheRest)
{
    const auto& c = GetParam();
    const auto file = settingsFolder.settingsFile();
    ASSERT_TRUE (file.replaceWithText (c.fileText));

    scramble();
    editor.menu.loadSettings();

    EXPECT_EQ (editor.menu.knobMode, c.mode);
    EXPECT_EQ (editor.menu.knobSensitivity, c.sensitivity);
    EXPECT_EQ (editor.menu.uiSize, c.size);
    EXPECT_EQ (scale(), c.scale);

    const auto style = c.mode == Menu::circular ? juce::Slider::Rotary : juce::Slider::RotaryHorizontalVerticalDrag;
    const auto distance = c.sensitivity == Menu::low ? 370 : (c.sensitivity == Menu::medium ? 290 : 215);
    expectKnobs (style, distance);

    EXPECT_EQ (file.loadFileAsString(), c.fileText); // loading never writes
}

INSTANTIATE_TEST_SUITE_P (
    Files, SettingsLoad,
    ::testing::Values (
        LoadCase { "all three", R"({"knob_mode": "circular", "knob_sensitivity": "low", "gui_size": "xl"})", Menu::circular, Menu::low, Menu::xl, 1.5f },
        LoadCase { "upper case size", R"({"gui_size": "XL"})", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "smallest", R"({"gui_size": "xs", "knob_sensitivity": "medium"})", Menu::linear, Menu::medium, Menu::xs, 0.8f },
        LoadCase { "largest", R"({"gui_size": "xxl"})", Menu::linear, Menu::normal, Menu::xxl, 2.0f },
        LoadCase { "small", R"({"gui_size": "s"})", Menu::linear, Menu::normal, Menu::s, 0.9f },
        LoadCase { "large", R"({"gui_size": "l"})", Menu::linear, Menu::normal, Menu::l, 1.1f },
        LoadCase { "capitalised mode", R"({"knob_mode": "Circular"})", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "number for a name", R"({"gui_size": 1.5, "knob_sensitivity": 370})", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "unknown keys", R"({"size": "xl", "mode": "circular"})", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "JSON array", R"(["circular", "low", "xl"])", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "JSON null", "null", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "empty", "", Menu::linear, Menu::normal, Menu::m, 1.0f },
        LoadCase { "cut short", R"({"knob_mode": "circular", "knob_sens)", Menu::linear, Menu::normal, Menu::m, 1.0f }),
    [] (const ::testing::TestParamInfo<LoadCase>& param)
    {
        return juce::String (param.param.name).retainCharacters ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ").toStdString();
    });

TEST_F (SettingsMenu, AFolderInPlaceOfTheFileGivesTheDefaults)
{
    ASSERT_TRUE (settingsFolder.settingsFile().getChildFile ("keep.txt").create());
    scramble();
    editor.menu.loadSettings();

    expectKnobs (juce::Slider::RotaryHorizontalVerticalDrag, 215);
    EXPECT_EQ (scale(), 1.0f);
}

//==============================================================================
TEST_F (SettingsMenu, PickingLowSetsEveryKnobAndWritesAllThreeKeysInOrder)
{
    editor.menu.loadSettings();
    editor.menu.handleMenuResult (Menu::low);

    expectKnobs (juce::Slider::RotaryHorizontalVerticalDrag, 370);

    const auto text = settingsFolder.settingsFile().loadFileAsString();
    auto* expected = new juce::DynamicObject();
    expected->setProperty ("knob_mode", "linear");
    expected->setProperty ("knob_sensitivity", "low");
    expected->setProperty ("gui_size", "m");
    EXPECT_EQ (text, juce::JSON::toString (juce::var (expected), false));
    EXPECT_TRUE (text.contains ("\n")) << "the multi-line layout";

    const auto names = juce::JSON::parse (text).getDynamicObject()->getProperties();
    ASSERT_EQ (names.size(), 3);
    EXPECT_EQ (names.getName (0).toString(), "knob_mode");
    EXPECT_EQ (names.getName (1).toString(), "knob_sensitivity");
    EXPECT_EQ (names.getName (2).toString(), "gui_size");
}

TEST_F (SettingsMenu, EverySettingPickIsAppliedAndSaved)
{
    const struct
    {
        int result;
        const char* key;
        const char* stored;
    } picks[] {
        { Menu::circular, "knob_mode", "circular" }, { Menu::linear, "knob_mode", "linear" },
        { Menu::medium, "knob_sensitivity", "medium" }, { Menu::normal, "knob_sensitivity", "normal" },
        { Menu::xs, "gui_size", "xs" }, { Menu::s, "gui_size", "s" }, { Menu::l, "gui_size", "l" },
        { Menu::xl, "gui_size", "xl" }, { Menu::xxl, "gui_size", "xxl" }, { Menu::m, "gui_size", "m" },
    };

    editor.menu.loadSettings();

    for (const auto& pick : picks)
    {
        editor.menu.handleMenuResult (pick.result);
        const auto saved = juce::JSON::parse (settingsFolder.settingsFile().loadFileAsString());
        EXPECT_EQ (saved[pick.key].toString(), pick.stored) << "item " << pick.result;
    }
}

TEST_F (SettingsMenu, SettersApplyWithoutWriting)
{
    editor.menu.loadSettings();
    editor.menu.setKnobMode (Menu::circular);
    editor.menu.setKnobSensitivity (Menu::medium);
    editor.menu.setUiSize (Menu::xxl);

    expectKnobs (juce::Slider::Rotary, 290);
    EXPECT_EQ (scale(), 2.0f);
    EXPECT_FALSE (settingsFolder.settingsFile().exists());
    EXPECT_EQ (editor.menu.settings->getProperty ("gui_size").toString(), "xxl");
}

TEST_F (SettingsMenu, ALinearVerticalKnobKeepsItsStyle)
{
    editor.menu.setKnobMode (Menu::circular);
    EXPECT_EQ (fader->getSliderStyle(), juce::Slider::LinearVertical);
    EXPECT_EQ (editor.knobs[0]->getSliderStyle(), juce::Slider::Rotary);

    editor.menu.setKnobMode (Menu::linear);
    EXPECT_EQ (fader->getSliderStyle(), juce::Slider::LinearVertical);
    EXPECT_EQ (editor.knobs[0]->getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
}

TEST_F (SettingsMenu, AFailedSaveKeepsTheSettingsInEffectAndTheOldFile)
{
    // A folder with something in it where the file belongs: the save cannot replace it.
    const auto file = settingsFolder.settingsFile();
    ASSERT_TRUE (file.getChildFile ("keep.txt").create());
    editor.menu.loadSettings();

    editor.menu.handleMenuResult (Menu::low);
    expectKnobs (juce::Slider::RotaryHorizontalVerticalDrag, 370);
    EXPECT_EQ (editor.menu.knobSensitivity, Menu::low);
    EXPECT_TRUE (file.getChildFile ("keep.txt").existsAsFile());
}

TEST_F (SettingsMenu, SavingRecreatesAMissingFolder)
{
    editor.menu.loadSettings();
    ASSERT_TRUE (settingsFolder.folder.deleteRecursively());

    editor.menu.handleMenuResult (Menu::circular);
    EXPECT_EQ (juce::JSON::parse (settingsFolder.settingsFile().loadFileAsString())["knob_mode"].toString(), "circular");
}

//==============================================================================
TEST_F (SettingsMenu, PopupHasThreeSubMenusThenTheFiveActions)
{
    editor.menu.loadSettings();
    const auto items = itemsOf (editor.menu.createPopupMenu());

    const std::vector<std::pair<int, juce::String>> expected {
        { 0, "Knob Mode" }, { 0, "Knob Sensitivity" }, { 0, "GUI Size" }, { 0, "" },
        { 12, "Check for Updates..." }, { 13, "Open Manual..." }, { 14, "About..." }, { 0, "" },
        { 15, "Plugin/DAW Info..." }, { 16, "Save Preset..." },
    };

    ASSERT_EQ (items.size(), expected.size());

    for (size_t i = 0; i < items.size(); ++i)
    {
        EXPECT_EQ (items[i].text, expected[i].second) << "item " << i;
        EXPECT_EQ (items[i].id, expected[i].first) << "item " << i;
        EXPECT_EQ (items[i].hasSubMenu, i < 3) << "item " << i;
    }

    const auto popup = editor.menu.createPopupMenu();
    const struct
    {
        const char* name;
        std::vector<std::pair<int, const char*>> items;
    } subMenus[] {
        { "Knob Mode", { { 1, "Linear" }, { 2, "Circular" } } },
        { "Knob Sensitivity", { { 3, "Normal" }, { 4, "Medium" }, { 5, "Low" } } },
        { "GUI Size", { { 6, "XS (80%)" }, { 7, "S (90%)" }, { 8, "M (100%)" }, { 9, "L (110%)" }, { 10, "XL (150%)" }, { 11, "XXL (200%)" } } },
    };

    for (const auto& sub : subMenus)
    {
        const auto subItems = itemsOf (subMenu (popup, sub.name));
        ASSERT_EQ (subItems.size(), sub.items.size()) << sub.name;

        for (size_t i = 0; i < subItems.size(); ++i)
        {
            EXPECT_EQ (subItems[i].id, sub.items[i].first) << sub.name;
            EXPECT_EQ (subItems[i].text, sub.items[i].second) << sub.name;
        }
    }
}

TEST_F (SettingsMenu, EachSubMenuTicksExactlyTheCurrentChoice)
{
    editor.menu.loadSettings();
    auto popup = editor.menu.createPopupMenu();
    EXPECT_EQ (tickedIds (subMenu (popup, "Knob Mode")), std::vector<int> { 1 });
    EXPECT_EQ (tickedIds (subMenu (popup, "Knob Sensitivity")), std::vector<int> { 3 });
    EXPECT_EQ (tickedIds (subMenu (popup, "GUI Size")), std::vector<int> { 8 });

    editor.menu.handleMenuResult (Menu::xxl);
    editor.menu.handleMenuResult (Menu::circular);
    popup = editor.menu.createPopupMenu();
    EXPECT_EQ (tickedIds (subMenu (popup, "GUI Size")), std::vector<int> { 11 });
    EXPECT_EQ (tickedIds (subMenu (popup, "Knob Mode")), std::vector<int> { 2 });
    EXPECT_EQ (scale(), 2.0f);

    for (const auto& item : itemsOf (popup))
        EXPECT_FALSE (item.ticked) << item.text;
}

TEST_F (SettingsMenu, AboutItemShowsTheAboutPanel)
{
    editor.menu.handleMenuResult (Menu::showAbout);
    EXPECT_EQ (editor.getChildComponent (editor.getNumChildComponents() - 1), &editor.about);
}

TEST_F (SettingsMenu, DismissingOrAnUnknownItemDoesNothing)
{
    editor.menu.loadSettings();

    for (auto result : { 0, 17, -1, 100 })
        editor.menu.handleMenuResult (result);

    EXPECT_FALSE (settingsFolder.settingsFile().exists());
    EXPECT_EQ (editor.getChildComponent (0), &editor.about);
    expectKnobs (juce::Slider::RotaryHorizontalVerticalDrag, 215);
}

TEST_F (SettingsMenu, ActionsOpenTheManualAndTheMakersPages)
{
    const auto manual = editor.menu.getLocalManualFile();
    EXPECT_EQ (manual, juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory)
                           .getChildFile ("Oskvar Audio/Manuals/Kelvane.pdf"));

    const auto webManual = editor.menu.getWebManualUrl().toString (false);
    EXPECT_TRUE (webManual.startsWith ("https://oskvaraudio.com/")) << webManual;
    EXPECT_TRUE (webManual.endsWith ("/Kelvane_Manual.pdf")) << webManual;

    const auto account = Menu::getCustomerAccountUrl().toString (false);
    EXPECT_TRUE (account.startsWith ("https://oskvaraudio.com/")) << account;
    EXPECT_NE (account, "https://oskvaraudio.com/");
}

TEST_F (SettingsMenu, RightClickAndTheSettingsButtonOpenTheMenu)
{
    // The base editor's own hook opens the menu; a test's hook stands in for the popup.
    ASSERT_TRUE (editor.onSettingsMenuRequested != nullptr);
    int opened = 0;
    editor.onSettingsMenuRequested = [&opened] { ++opened; };

    KelvaneTest::click (editor.settingsButton);
    editor.mouseUp (KelvaneTest::mouseEventAt (editor.background, { 300.0f, 300.0f }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_EQ (opened, 2);
}
