#include "osk_gui/BaseEditor.h"

#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/ProductVersion.h"

#include "PluginBinaryData.h"

namespace OSK
{
BaseEditor::BaseEditor (BaseProcessor& processorToEdit)
    : juce::AudioProcessorEditor (processorToEdit),
      baseProcessor (processorToEdit),
      menu (*this),
      settingsButton (juce::Image()),
      bannerButton (juce::Image()),
      presetManager (processorToEdit)
{
    setOpaque (true);

    // The background is stored at twice the pixel density; the editor is its half size plus the bar.
    const auto backgroundImage = juce::ImageCache::getFromMemory (PluginBinaryData::Background_png,
                                                                  PluginBinaryData::Background_pngSize);
    editorWidth = backgroundImage.getWidth() / 2;
    editorHeight = backgroundImage.getHeight() / 2 + bottomBarHeight;
    setBounds (0, 0, editorWidth, editorHeight);

    addAndMakeVisible (background);
    background.addMouseListener (this, false);
    background.setImage (backgroundImage);

    addAndMakeVisible (bannerButton);
    bannerButton.setImage (EmbeddedResources::commonImage ("banner_png"), 2);
    bannerButton.onClick = [] { juce::URL (ProductVersion::makerWebsite()).launchInDefaultBrowser(); };

    addAndMakeVisible (settingsButton);
    settingsButton.setImage (EmbeddedResources::commonImage ("settings_png"), 2);
    onSettingsMenuRequested = [this] { menu.show(); };
    settingsButton.onClick = [this]
    {
        if (onSettingsMenuRequested)
            onSettingsMenuRequested();
    };

    logoButton.setBounds (115, 105, 75, 75);
    addAndMakeVisible (logoButton);
    logoButton.onClick = [this] { about.toFront (true); };

    // Hidden behind the background until the logo is clicked; the bottom bar stays usable.
    addAndMakeVisible (about);
    about.toBack();
}

BaseEditor::~BaseEditor()
{
    stopTimer();
    background.removeMouseListener (this);

    // The meters go before anything they might point at; the registries are cleared after them.
    registeredWidgets.clear();
    meters.clear();
    clipLamps.clear();
}

void BaseEditor::mouseUp (const juce::MouseEvent& event)
{
    if (event.mods.isRightButtonDown() && onSettingsMenuRequested)
        onSettingsMenuRequested();
}

void BaseEditor::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    g.fillRect (getBounds());
}

void BaseEditor::resized()
{
    const auto w = editorWidth;
    const auto h = editorHeight;
    const auto b = bottomBarHeight;

    setBounds (0, 0, w, h);
    background.setBounds (0, 0, w, h - b);
    bannerButton.setBounds (2, h - b + 2, 171, 27);
    settingsButton.setBounds (w - 46, h - 28, 23, 27);
    presetManager.setBounds (w - 500, h - 28, 120, 20);
    about.setBounds (0, 0, w, h - b);
}

int BaseEditor::getControlParameterIndex (juce::Component& component)
{
    const auto id = component.getComponentID();

    if (id.isEmpty())
        return -1;

    if (auto* parameter = baseProcessor.valueTreeState.getParameter (id))
        return parameter->getParameterIndex();

    return -1;
}

void BaseEditor::timerCallback()
{
    const auto* engine = baseProcessor.dsp;

    if (engine == nullptr)
        return;

    // The engine's meters are atomics written by the audio thread; reading them takes no lock.
    for (juce::HashMap<int, Meter*>::Iterator entry (meters); entry.next();)
        if (auto* meter = entry.getValue())
            meter->setValue (engine->getMeterValue (entry.getKey()));

    for (juce::HashMap<int, ClipLamp*>::Iterator entry (clipLamps); entry.next();)
    {
        auto* lamp = entry.getValue();
        const auto lit = engine->getMeterValue (entry.getKey()) >= 1.0;

        if (lamp != nullptr && lamp->lit != lit)
        {
            lamp->lit = lit;
            lamp->repaint();
        }
    }
}

void BaseEditor::addMeter (Meter* meter, int meterIndex)
{
    if (meter != nullptr)
    {
        addAndMakeVisible (meter);

        if (! registeredWidgets.contains (meter))
            registeredWidgets.add (meter);
    }

    meters.set (meterIndex, meter);
    startMeterRefresh();
}

void BaseEditor::addClipLamp (ClipLamp* lamp, int meterIndex)
{
    if (lamp != nullptr)
    {
        addAndMakeVisible (lamp);

        if (! registeredWidgets.contains (lamp))
            registeredWidgets.add (lamp);
    }

    clipLamps.set (meterIndex, lamp);
    startMeterRefresh();
}

void BaseEditor::startMeterRefresh()
{
    if (! isTimerRunning())
        startTimer (meterRefreshIntervalMs);
}

} // namespace OSK
