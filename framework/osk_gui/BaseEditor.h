#pragma once

#include "osk_base_processor/BaseProcessor.h"
#include "osk_gui/About.h"
#include "osk_gui/ClipLamp.h"
#include "osk_gui/DropDown.h"
#include "osk_gui/ImageButton.h"
#include "osk_gui/Knob.h"
#include "osk_gui/Menu.h"
#include "osk_gui/Meter.h"
#include "osk_gui/PresetManager.h"
#include "osk_gui/Toggle.h"
#include "osk_gui/TransparentButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

namespace OSK
{
/** The framework's editor: a fixed panel drawn from the product's background image, a black bottom
    bar with the maker's banner and the settings button, the settings menu, an invisible button
    over the product logo that shows the About panel, the owned lists in which a product keeps its
    controls with the attachments that bind them to parameters, and the registry of meter widgets
    that a 41 ms timer refreshes from the engine. A product derives from it and adds its controls.
    Everything runs on the message thread. */
class BaseEditor : public juce::AudioProcessorEditor, public juce::Timer
{
public:
    using ComboBoxAttachment = juce::AudioProcessorValueTreeState::ComboBoxAttachment;
    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;
    using ButtonAttachment = juce::AudioProcessorValueTreeState::ButtonAttachment;

    /** Builds the frame: size from the background image, bottom bar, buttons and About panel
        (message thread). */
    explicit BaseEditor (BaseProcessor& processorToEdit);

    /** Deletes the registered meters and clip lamps first; the members then go in reverse order,
        attachments before the widgets they observe (message thread). */
    ~BaseEditor() override;

    /** A right-click on the bottom bar or the background asks for the settings menu (message thread). */
    void mouseUp (const juce::MouseEvent& event) override;

    /** Fills the editor black; only the bottom bar shows it (message thread). */
    void paint (juce::Graphics& g) override;

    /** Lays out the frame and keeps the editor's size fixed: a resize request gets the same
        size back (message thread). */
    void resized() override;

    /** The host index of the parameter whose ID is the component's ID, or -1 (message thread). */
    int getControlParameterIndex (juce::Component& component) override;

    /** The meter refresh, every 41 ms once a meter is registered: every registered meter gets its
        engine meter's value, every clip lamp lights at full scale (message thread). */
    void timerCallback() override;

    /** Shows a meter widget, takes ownership of it and refreshes it from the engine meter
        `meterIndex`, replacing any meter registered under that index; starts the refresh (message thread). */
    void addMeter (Meter* meter, int meterIndex);

    /** Shows a clip lamp, takes ownership of it and lights it while the engine meter `meterIndex`
        reads full scale or more; starts the refresh (message thread). */
    void addClipLamp (ClipLamp* lamp, int meterIndex);

    /** Runs when the settings button is clicked or the panel is right-clicked; opens the settings
        menu. Tests replace it so no popup opens. Called on the message thread. */
    std::function<void()> onSettingsMenuRequested;

    /** The refresh period of the meters in milliseconds, about 24 times a second. */
    static constexpr int meterRefreshIntervalMs = 41;

    BaseProcessor& baseProcessor;
    int bottomBarHeight = 29;
    Menu menu;
    int editorWidth = 0;
    int editorHeight = 0;
    juce::ImageComponent background;
    ImageButton settingsButton;
    TransparentButton logoButton;
    ImageButton bannerButton;
    PresetManager presetManager;
    About about;
    juce::OwnedArray<DropDown> dropDowns;
    juce::OwnedArray<ComboBoxAttachment> comboBoxAttachments;
    juce::OwnedArray<Knob> knobs;
    juce::OwnedArray<SliderAttachment> sliderAttachments;
    juce::OwnedArray<Toggle> toggles;
    juce::OwnedArray<ButtonAttachment> buttonAttachments;
    juce::HashMap<int, Meter*> meters;       ///< by engine meter index; the widgets are owned by the editor
    juce::HashMap<int, ClipLamp*> clipLamps; ///< by engine meter index; the widgets are owned by the editor
    juce::OwnedArray<juce::ParameterAttachment> parameterAttachments;

private:
    void startMeterRefresh();

    // Every widget ever registered, once: a meter replaced under its index stays on the panel
    // (no longer refreshed) and is still deleted with the editor.
    juce::OwnedArray<juce::Component> registeredWidgets;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BaseEditor)
};

} // namespace OSK
