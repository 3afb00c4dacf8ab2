#include "osk_gui/Toggle.h"

#include "osk_gui/EmbeddedResources.h"

namespace OSK
{
Toggle::Toggle (const juce::String& resourceName)
    : image (EmbeddedResources::productImage (resourceName))
{
    frameWidth = image.isValid() ? image.getWidth() : 0;
    frameHeight = image.isValid() ? image.getHeight() / 2 : 0;
}

void Toggle::mouseDoubleClick (const juce::MouseEvent& event)
{
    if (onDoubleClick)
        onDoubleClick();

    juce::ToggleButton::mouseDown (event);
}

void Toggle::paint (juce::Graphics& g)
{
    const auto showTopFrame = getToggleState() != inverted;
    g.drawImage (image, 0, 0, getWidth(), getHeight(),
                 column * frameWidth, showTopFrame ? 0 : frameHeight, frameWidth, frameHeight);
}

} // namespace OSK
