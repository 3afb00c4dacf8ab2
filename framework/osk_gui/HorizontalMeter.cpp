#include "osk_gui/HorizontalMeter.h"

#include "osk_gui/EmbeddedResources.h"

namespace OSK
{
namespace
{
    constexpr int meterWidth = 110;
    constexpr int meterHeight = 15;
} // namespace

HorizontalMeter::HorizontalMeter (const juce::String& pointerImageName, const juce::String& backgroundImageName,
                                  juce::Rectangle<int> position)
{
    setBounds (position.getX(), position.getY(), meterWidth, meterHeight);
    setValue (0.0);

    pointerImage = EmbeddedResources::productImage (pointerImageName);
    frameWidth = pointerImage.isValid() ? (float) pointerImage.getWidth() / (float) frameCount : 0.0f;
    frameHeight = pointerImage.isValid() ? (float) pointerImage.getHeight() : 0.0f;
    backgroundImage = EmbeddedResources::productImage (backgroundImageName);

    setBounds (position.getX(), position.getY(), meterWidth, meterHeight);
}

void HorizontalMeter::setValue (double newValue)
{
    if (frameCount == 3)
    {
        const auto frame = newValue < 0.1 ? 2 : (newValue < 0.5 ? 1 : 0);

        // Only a new frame needs drawing here; a new value repaints in Meter::setValue anyway.
        if (frame != frameIndex)
        {
            frameIndex = frame;
            repaint();
        }
    }

    Meter::setValue (newValue);
}

void HorizontalMeter::paint (juce::Graphics& g)
{
    const auto w = getWidth();
    const auto h = getHeight();

    g.drawImage (backgroundImage, 0, 0, w, h, 0, 0, backgroundImage.getWidth(), backgroundImage.getHeight());

    const auto x = (int) ((double) w * value - 1.0);
    g.drawImage (pointerImage, x, 0, (int) (frameWidth * 0.5f), (int) (frameHeight * 0.5f),
                 (int) ((float) frameIndex * frameWidth), 0, (int) frameWidth, (int) frameHeight);
}

} // namespace OSK
