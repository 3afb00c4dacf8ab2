#pragma once

#include "osk_base_processor/BaseProcessor.h"
#include "osk_gui/About.h"
#include "osk_gui/DropDown.h"
#include "osk_gui/ImageButton.h"
#include "osk_gui/Knob.h"
#include "osk_gui/Toggle.h"
#include "osk_gui/TransparentButton.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>

namespace OSK
{
/** The framework's editor: a fixed panel drawn from the product's background image, a black bottom
    bar with the maker's banner and the settings button, an invisible button over the product logo
    that shows the About panel, and the owned lists in which a product keeps its controls with the
    attachments that bind them to parameters. A product derives from it and adds its controls.
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

    /** Stops listening to the background; the members then go in reverse order, attachments
        before the widgets they observe (message thread). */
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

    /** The periodic meter refresh; the timer only runs once meters are registered (message thread). */
    void timerCallback() override;

    /** Runs when the settings button is clicked or the panel is right-clicked; the settings menu
        sets it; empty by default. Called on the message thread. */
    std::function<void()> onSettingsMenuRequested;

    BaseProcessor& baseProcessor;
    int bottomBarHeight = 29;
    // The settings menu (`menu`) joins the frame here.
    int editorWidth = 0;
    int editorHeight = 0;
    juce::ImageComponent background;
    ImageButton settingsButton;
    TransparentButton logoButton;
    ImageButton bannerButton;
    // The preset bar (`presetManager`) joins the frame here.
    About about;
    juce::OwnedArray<DropDown> dropDowns;
    juce::OwnedArray<ComboBoxAttachment> comboBoxAttachments;
    juce::OwnedArray<Knob> knobs;
    juce::OwnedArray<SliderAttachment> sliderAttachments;
    juce::OwnedArray<Toggle> toggles;
    juce::OwnedArray<ButtonAttachment> buttonAttachments;
    // The meter registries (`meters`, `clipLamps`) join the frame here, so they are destroyed
    // after the plain parameter attachments below and before the widget lists above.
    juce::OwnedArray<juce::ParameterAttachment> parameterAttachments;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BaseEditor)
};

} // namespace OSK
