#include "osk_gui/VerticalMeter.h"

#include "osk_gui/EmbeddedResources.h"

namespace OSK
{
VerticalMeter::VerticalMeter (const juce::String& onImageName, const juce::String& offImageName, juce::Rectangle<int> bounds)
{
    setBounds (bounds);
    setValue (0.0);

    offImage = EmbeddedResources::productImage (offImageName);
    onImage = EmbeddedResources::productImage (onImageName);
    frameWidth = offImage.isValid() ? offImage.getWidth() : 0;
    frameHeight = offImage.isValid() ? offImage.getHeight() : 0;

    setBounds (bounds);
}

void VerticalMeter::paint (juce::Graphics& g)
{
    const auto w = getWidth();
    const auto h = getHeight();

    g.drawImage (offImage, 0, 0, w, h, 0, 0, frameWidth, frameHeight);

    const auto litHeight = (int) ((double) h * value);
    const auto litSourceHeight = (int) ((double) frameHeight * value);
    const auto destinationY = fillFromTop ? 0 : h - litHeight;
    const auto sourceY = fillFromTop ? 0 : frameHeight - litSourceHeight;

    g.drawImage (onImage, 0, destinationY, w, litHeight, frameWidth * frameIndex, sourceY, frameWidth, litSourceHeight);
}

} // namespace OSK
