#include "osk_gui/Menu.h"

#include "osk_gui/BaseEditor.h"
#include "osk_gui/ProductVersion.h"
#include "osk_gui/SettingsFile.h"

namespace OSK
{
namespace
{
    constexpr const char* knobModeKey = "knob_mode";
    constexpr const char* knobSensitivityKey = "knob_sensitivity";
    constexpr const char* guiSizeKey = "gui_size";

    struct ChoiceInfo
    {
        Menu::MenuChoice choice;
        const char* menuText;
        const char* storedValue;
    };

    // One row per choice, in ID order: the popup's text and the value kept in the settings file.
    constexpr ChoiceInfo choiceTable[] {
        { Menu::linear, "Linear", "linear" },
        { Menu::circular, "Circular", "circular" },
        { Menu::normal, "Normal", "normal" },
        { Menu::medium, "Medium", "medium" },
        { Menu::low, "Low", "low" },
        { Menu::xs, "XS (80%)", "xs" },
        { Menu::s, "S (90%)", "s" },
        { Menu::m, "M (100%)", "m" },
        { Menu::l, "L (110%)", "l" },
        { Menu::xl, "XL (150%)", "xl" },
        { Menu::xxl, "XXL (200%)", "xxl" },
    };

    const ChoiceInfo& infoOf (Menu::MenuChoice choice)
    {
        return choiceTable[juce::jlimit (0, (int) std::size (choiceTable) - 1, (int) choice - 1)];
    }

    // The choice whose stored value is `text` among first..last, else the fallback. Exact and
    // case-sensitive: "XL" is not "xl".
    Menu::MenuChoice choiceFor (const juce::String& text, Menu::MenuChoice first, Menu::MenuChoice last,
                                Menu::MenuChoice fallback)
    {
        for (int id = first; id <= last; ++id)
            if (text == infoOf ((Menu::MenuChoice) id).storedValue)
                return (Menu::MenuChoice) id;

        return fallback;
    }

    bool isBetween (int result, Menu::MenuChoice first, Menu::MenuChoice last)
    {
        return result >= first && result <= last;
    }

    // One sub-menu of choices, with the current one ticked.
    juce::PopupMenu choiceMenu (Menu::MenuChoice first, Menu::MenuChoice last, Menu::MenuChoice current)
    {
        juce::PopupMenu menu;

        for (int id = first; id <= last; ++id)
            menu.addItem (id, Menu::getChoiceText ((Menu::MenuChoice) id), true, id == current);

        return menu;
    }

    // The text of a toggle's choice: "Off" or "On" for this product's two-choice switches.
    juce::String choiceTextOf (juce::RangedAudioParameter* parameter, int index)
    {
        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter))
            if (juce::isPositiveAndBelow (index, choice->choices.size()))
                return choice->choices[index];

        return {};
    }
} // namespace

Menu::Menu (BaseEditor& owner)
    : editor (owner),
      settingsFilePath (SettingsFile::getFile().getFullPathName())
{
}

Menu::~Menu() = default;

void Menu::show()
{
    // The menu outlives neither its editor nor the popup's answer, so the answer finds it through the editor.
    juce::Component::SafePointer<BaseEditor> safeEditor (&editor);

    createPopupMenu().showMenuAsync (juce::PopupMenu::Options(), [safeEditor] (int result)
    {
        if (safeEditor != nullptr)
            safeEditor->menu.handleMenuResult (result);
    });
}

juce::PopupMenu Menu::createPopupMenu() const
{
    juce::PopupMenu menu;
    menu.addSubMenu ("Knob Mode", choiceMenu (linear, circular, knobMode));
    menu.addSubMenu ("Knob Sensitivity", choiceMenu (normal, low, knobSensitivity));
    menu.addSubMenu ("GUI Size", choiceMenu (xs, xxl, uiSize));
    menu.addSeparator();
    menu.addItem (checkForUpdates, "Check for Updates...");
    menu.addItem (openManual, "Open Manual...");
    menu.addItem (showAbout, "About...");
    menu.addSeparator();
    menu.addItem (showInformation, "Plugin/DAW Info...");
    menu.addItem (savePresetFile, "Save Preset...");
    return menu;
}

void Menu::handleMenuResult (int result)
{
    if (isBetween (result, linear, circular))
    {
        setKnobMode ((MenuChoice) result);
        saveSettings();
    }
    else if (isBetween (result, normal, low))
    {
        setKnobSensitivity ((MenuChoice) result);
        saveSettings();
    }
    else if (isBetween (result, xs, xxl))
    {
        setUiSize ((MenuChoice) result);
        saveSettings();
    }
    else if (result == checkForUpdates)
    {
        getCustomerAccountUrl().launchInDefaultBrowser();
    }
    else if (result == openManual)
    {
        openManualDocument();
    }
    else if (result == showAbout)
    {
        editor.about.toFront (true);
    }
    else if (result == showInformation)
    {
        showInformationBox();
    }
    else if (result == savePresetFile)
    {
        savePreset();
    }
}

void Menu::setKnobMode (MenuChoice choice)
{
    knobMode = choice;
    const auto style = choice == circular ? juce::Slider::Rotary : juce::Slider::RotaryHorizontalVerticalDrag;

    // A linear-vertical knob is a fader in all but name; dragging it around would make no sense.
    for (auto* knob : editor.knobs)
        if (knob->getSliderStyle() != juce::Slider::LinearVertical)
            knob->setSliderStyle (style);

    settings->setProperty (knobModeKey, infoOf (choice).storedValue);
}

void Menu::setKnobSensitivity (MenuChoice choice)
{
    knobSensitivity = choice;
    const auto distance = choice == low ? 370 : (choice == medium ? 290 : 215);

    for (auto* knob : editor.knobs)
        knob->setMouseDragSensitivity (distance);

    settings->setProperty (knobSensitivityKey, infoOf (choice).storedValue);
}

void Menu::setUiSize (MenuChoice choice)
{
    uiSize = choice;

    // Global: every window of the process follows, so all open editors of the plug-in share the size.
    juce::Desktop::getInstance().setGlobalScaleFactor (getScaleFactor (choice));

    settings->setProperty (guiSizeKey, infoOf (choice).storedValue);
}

void Menu::saveSettings()
{
    if (settingsFilePath.isNotEmpty())
        SettingsFile::write (juce::File (settingsFilePath), juce::var (settings.get()));
}

void Menu::loadSettings()
{
    const auto file = settingsFilePath.isNotEmpty() ? juce::File (settingsFilePath) : juce::File();

    if (settingsFilePath.isEmpty() || ! file.exists() || file.isDirectory())
    {
        setKnobMode (linear);
        setKnobSensitivity (normal);
        setUiSize (m);
        return;
    }

    const auto parsed = SettingsFile::read (file);
    const auto* object = parsed.getDynamicObject();

    const auto textOf = [object] (const char* key, const char* fallback)
    {
        return object != nullptr && object->hasProperty (key) ? object->getProperty (key).toString() : juce::String (fallback);
    };

    setKnobMode (choiceFor (textOf (knobModeKey, "linear"), linear, circular, linear));
    setKnobSensitivity (choiceFor (textOf (knobSensitivityKey, "normal"), normal, low, normal));
    setUiSize (choiceFor (textOf (guiSizeKey, "m"), xs, xxl, m));
}

void Menu::savePreset()
{
    presetChooser = std::make_unique<juce::FileChooser> ("Save Preset...",
                                                         juce::File::getSpecialLocation (juce::File::userDocumentsDirectory),
                                                         "*.h");
    juce::Component::SafePointer<BaseEditor> safeEditor (&editor);
    const auto flags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles;

    presetChooser->launchAsync (flags, [safeEditor] (const juce::FileChooser& chooser)
    {
        const auto file = chooser.getResult();

        if (safeEditor != nullptr && file != juce::File())
            safeEditor->menu.writePresetFile (file);
    });
}

bool Menu::writePresetFile (const juce::File& file) const
{
    const auto text = getPresetText();

    // All or nothing: an export that cannot be finished leaves the file as it was.
    return SettingsFile::replaceAtomically (file, [&text] (juce::OutputStream& stream)
    {
        return stream.writeText (text, false, false, nullptr);
    });
}

juce::String Menu::getPresetText() const
{
    constexpr const char* lineEnd = "\r\n";
    auto text = "Preset for " + editor.baseProcessor.getName() + lineEnd + lineEnd;

    for (const auto* knob : editor.knobs)
        text << knob->getComponentID() << ": " << juce::String (knob->getValue()) << lineEnd;

    for (const auto* toggle : editor.toggles)
    {
        const auto id = toggle->getComponentID();
        const auto on = toggle->getToggleState();
        text << id << ": " << (on ? "1" : "0") << " "
             << choiceTextOf (editor.baseProcessor.valueTreeState.getParameter (id), on ? 1 : 0) << lineEnd;
    }

    return text;
}

juce::String Menu::getInformationText() const
{
    const auto& processor = editor.baseProcessor;
    const auto sampleRate = (juce::int64) processor.lastSampleRate.load();

    juce::StringArray lines;
    lines.add ("Plugin: " + processor.getName());
    lines.add ("Version: " + ProductVersion::version() + " BUILD " + ProductVersion::buildNumber());
    lines.add ("Format: " + juce::String (juce::AudioProcessor::getWrapperTypeDescription (processor.wrapperType)));
    lines.add ({});
    lines.add ("OS: " + juce::SystemStats::getOperatingSystemName() + " (" + juce::SystemStats::getCpuModel() + " "
               + juce::SystemStats::getCpuVendor() + ")");
    lines.add ({});
    lines.add ("Host: " + juce::String (juce::PluginHostType().getHostDescription()));
    lines.add ({});
    lines.add ("Channel Config: " + juce::String (processor.lastNumInputChannels.load()) + "-"
               + juce::String (processor.lastNumOutputChannels.load()));
    lines.add ("Blocksize: " + juce::String (processor.lastBlockSize.load()) + " Samples");
    lines.add ("Samplerate: " + juce::String (sampleRate) + " Hz");
    return lines.joinIntoString ("\n");
}

void Menu::showInformationBox()
{
    const auto options = juce::MessageBoxOptions()
                             .withIconType (juce::MessageBoxIconType::NoIcon)
                             .withTitle (editor.baseProcessor.getName())
                             .withMessage (getInformationText())
                             .withButton ("OK")
                             .withAssociatedComponent (&editor);

    juce::NativeMessageBox::showAsync (options, [] (int) {});
}

juce::File Menu::getLocalManualFile() const
{
    return juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory)
        .getChildFile ("Oskvar Audio")
        .getChildFile ("Manuals")
        .getChildFile (editor.baseProcessor.getName() + ".pdf");
}

juce::URL Menu::getWebManualUrl() const
{
    return juce::URL (ProductVersion::manualBaseAddress() + editor.baseProcessor.getName() + "_Manual.pdf");
}

void Menu::openManualDocument()
{
    const auto local = getLocalManualFile();

    if (local.getFullPathName().isNotEmpty() && local.exists())
        local.startAsProcess();
    else
        getWebManualUrl().launchInDefaultBrowser();
}

juce::URL Menu::getCustomerAccountUrl()
{
    return juce::URL (ProductVersion::customerAccountPage());
}

juce::String Menu::getChoiceText (MenuChoice choice)
{
    return infoOf (choice).menuText;
}

float Menu::getScaleFactor (MenuChoice choice)
{
    switch (choice)
    {
        case xs:  return 0.8f;
        case s:   return 0.9f;
        case l:   return 1.1f;
        case xl:  return 1.5f;
        case xxl: return 2.0f;
        case m:
        case linear:
        case circular:
        case normal:
        case medium:
        case low:
        default:  return 1.0f;
    }
}

} // namespace OSK
