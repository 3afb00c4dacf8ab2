#include "osk_gui/Knob.h"

#include "osk_gui/EmbeddedResources.h"

namespace OSK
{
Knob::Knob (const juce::String& resourceName, int x, int y)
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox),
      filmStrip (EmbeddedResources::productImage (resourceName))
{
    frameWidth = filmStrip.isValid() ? filmStrip.getWidth() / numColumns : 0;
    frameHeight = filmStrip.isValid() ? filmStrip.getHeight() / numFrames : 0;
    setBounds (x, y, 72, 72);
}

Knob::~Knob()
{
    if (lookAndFeel != nullptr)
        setLookAndFeel (nullptr);

    lookAndFeel.reset();
}

void Knob::mouseDown (const juce::MouseEvent& event)
{
    if (event.mods.isRightButtonDown() && onRightMouseDown)
        onRightMouseDown();

    juce::Slider::mouseDown (event);
}

void Knob::mouseUp (const juce::MouseEvent& event)
{
    if (event.mods.isRightButtonDown() && onRightMouseUp)
        onRightMouseUp();

    juce::Slider::mouseUp (event);
}

void Knob::paint (juce::Graphics& g)
{
    const auto value = getValue();
    const auto start = getMinimum();
    const auto end = getMaximum();

    // Linear in the value, not in the slider's (possibly skewed) position.
    auto frame = 0;

    if (end > start)
        frame = juce::jlimit (0, numFrames - 1, (int) ((double) (numFrames - 1) / (end - start) * (value - start)));

    g.drawImage (filmStrip, 0, 0, drawWidth, drawHeight, column * frameWidth, frame * frameHeight, frameWidth, frameHeight);

    if (label.isNotEmpty() && labelFont != nullptr)
    {
        g.setFont (*labelFont);
        g.setColour (labelColour);
        g.drawText (label, juce::Rectangle<float> ((float) labelX, (float) labelY, (float) drawWidth, (float) drawHeight),
                    juce::Justification::centred, false);
    }
}

double Knob::snapValue (double attemptedValue, DragMode)
{
    if (! snapEnabled)
        return attemptedValue;

    for (int i = 0; i < snapThresholds.size(); ++i)
        if (snapThresholds.getUnchecked (i) >= attemptedValue)
            return i < snapValues.size() ? snapValues.getUnchecked (i) : 0.0;

    return 1.0;
}

} // namespace OSK
