#include "osk_gui/ImageButton.h"

namespace OSK
{
ImageButton::ImageButton (const juce::Image& newImage)
    : juce::Button ("ImageButton")
{
    setImage (newImage, 1);
    setBounds ({});
}

void ImageButton::setImage (const juce::Image& newImage, int frames)
{
    image = newImage;
    numFrames = juce::jmax (1, frames);
    frameWidth = image.isValid() ? image.getWidth() : 0;
    frameHeight = image.isValid() ? image.getHeight() / numFrames : 0;
    repaint();
}

void ImageButton::paintButton (juce::Graphics& g, bool, bool shouldDrawButtonAsDown)
{
    const auto frame = shouldDrawButtonAsDown ? downFrame : upFrame;
    g.drawImage (image, 0, 0, getWidth(), getHeight(), 0, frame * frameHeight, frameWidth, frameHeight);
}

} // namespace OSK
