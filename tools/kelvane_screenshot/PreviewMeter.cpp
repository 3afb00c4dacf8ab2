#include "PreviewMeter.h"

#include "osk_gui/EmbeddedResources.h"

namespace KelvaneScreenshot
{
PreviewMeter::PreviewMeter (Kind meterKind, const juce::String& onImageName, const juce::String& offImageName, double meterValue)
    : kind (meterKind),
      onImage (OSK::EmbeddedResources::productImage (onImageName)),
      offImage (OSK::EmbeddedResources::productImage (offImageName)),
      value (juce::jlimit (0.0, 1.0, meterValue))
{
}

void PreviewMeter::paint (juce::Graphics& g)
{
    const auto w = getWidth();
    const auto h = getHeight();

    if (kind == Kind::pointer)
    {
        g.drawImage (offImage, 0, 0, w, h, 0, 0, offImage.getWidth(), offImage.getHeight());
        const auto frameWidth = (float) onImage.getWidth() / (float) frameCount;
        const auto x = (int) ((double) w * value - 1.0);
        g.drawImage (onImage, x, 0, (int) (frameWidth * 0.5f), (int) ((float) onImage.getHeight() * 0.5f),
                     (int) ((float) frameIndex * frameWidth), 0, (int) frameWidth, onImage.getHeight());
        return;
    }

    const auto frameWidth = offImage.getWidth();
    const auto frameHeight = offImage.getHeight();
    g.drawImage (offImage, 0, 0, w, h, 0, 0, frameWidth, frameHeight);

    const auto litHeight = (int) ((double) h * value);
    const auto litSource = (int) ((double) frameHeight * value);
    const auto fromTop = kind == Kind::barFromTop;
    g.drawImage (onImage, 0, fromTop ? 0 : h - litHeight, w, litHeight,
                 frameWidth * frameIndex, fromTop ? 0 : frameHeight - litSource, frameWidth, litSource);
}

} // namespace KelvaneScreenshot
