#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace OSK
{
class BaseEditor;

/** The editor's settings menu. It keeps three settings that belong to the user rather than to the
    host's project (how knobs react to dragging, how far they must be dragged, how large windows
    are drawn), applies them to the editor's knobs and to the global scale factor, and keeps them
    in the per-user settings file (SettingsFile). Its popup also reaches the maker's account page,
    the manual, the About panel, an information box and the export of the control values.

    The actions are split in two: what they would do (texts, files and addresses) is computed by
    functions that show nothing, and thin functions show a dialog or open a page with that result.
    Message thread only. */
class Menu
{
public:
    /** The eleven setting choices; the numbers are also the popup's item IDs. */
    enum MenuChoice
    {
        linear = 1,
        circular,
        normal,
        medium,
        low,
        xs,
        s,
        m,
        l,
        xl,
        xxl
    };

    /** The popup's action items, numbered after the choices. */
    enum MenuAction
    {
        checkForUpdates = 12,
        openManual,
        showAbout,
        showInformation,
        savePresetFile
    };

    /** Keeps the editor and takes the settings file's path; touches no knob yet (message thread). */
    explicit Menu (BaseEditor& owner);

    virtual ~Menu();

    /** Builds the popup and opens it at the mouse; the chosen item is handled when it closes (message thread). */
    void show();

    /** The popup as show() opens it: three ticked sub-menus and the five actions (message thread). */
    [[nodiscard]] juce::PopupMenu createPopupMenu() const;

    /** Does what picking an item does: a setting is applied and saved, an action runs; 0 or an
        unknown ID does nothing (message thread). */
    void handleMenuResult (int result);

    /** Sets every knob's drag style (linear-vertical knobs keep theirs) and records it; does not
        write the file (message thread). */
    void setKnobMode (MenuChoice choice);

    /** Sets every knob's drag distance for the full range (215, 290 or 370 pixels) and records it;
        does not write the file (message thread). */
    void setKnobSensitivity (MenuChoice choice);

    /** Sets the global scale factor of all windows and records it; does not write the file (message thread). */
    void setUiSize (MenuChoice choice);

    /** Writes the recorded settings to the settings file; a failed write leaves the old file (message thread). */
    void saveSettings();

    /** Reads the settings file and applies the three settings, with the defaults for whatever is
        missing or unknown; never writes (message thread). */
    void loadSettings();

    /** Opens a save dialog and writes the control values to the chosen file (message thread). */
    void savePreset();

    /** Writes the export text to a file, replacing its content; false if it could not (message thread). */
    bool writePresetFile (const juce::File& file) const;

    /** The export: "Preset for " and the product name, an empty line, then one line per knob and
        per toggle, every line ended by CR LF (message thread). */
    [[nodiscard]] juce::String getPresetText() const;

    /** The eleven lines of the information box: product, version, format, system, host and the
        playback settings of the last preparation (message thread). */
    [[nodiscard]] juce::String getInformationText() const;

    /** Shows the information box, a native message box with an OK button (message thread). */
    void showInformationBox();

    /** The manual on this computer: "<applications>/Oskvar Audio/Manuals/<product>.pdf" (message thread). */
    [[nodiscard]] juce::File getLocalManualFile() const;

    /** The manual on the web, for when there is no local one (message thread). */
    [[nodiscard]] juce::URL getWebManualUrl() const;

    /** Opens the local manual with its default application, else the web manual in the browser (message thread). */
    void openManualDocument();

    /** The page "Check for Updates..." opens: the maker's customer-account page (any thread). */
    [[nodiscard]] static juce::URL getCustomerAccountUrl();

    /** The text of a setting choice in the popup, e.g. "XXL (200%)" (any thread). */
    [[nodiscard]] static juce::String getChoiceText (MenuChoice choice);

    /** The global scale factor of a size choice, 0.8 to 2.0 (any thread). */
    [[nodiscard]] static float getScaleFactor (MenuChoice choice);

    BaseEditor& editor;
    MenuChoice knobMode = linear;
    MenuChoice knobSensitivity = normal;
    MenuChoice uiSize = m;
    juce::DynamicObject::Ptr settings { new juce::DynamicObject() };
    juce::String settingsFilePath;

private:
    std::unique_ptr<juce::FileChooser> presetChooser; // alive while its dialog is open

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Menu)
};

} // namespace OSK
