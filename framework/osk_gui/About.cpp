#include "osk_gui/About.h"

#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/ProductVersion.h"

#include "PluginBinaryData.h"

#include <cmath>

namespace OSK
{
About::About()
    : juce::Component ("About"),
      versionText ("VERSION " + ProductVersion::version() + " BUILD " + ProductVersion::buildNumber())
{
    setOpaque (true);

    // The image lets clicks through to the panel, which hides itself on any click.
    image.setImage (juce::ImageCache::getFromMemory (PluginBinaryData::About_png, PluginBinaryData::About_pngSize));
    image.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (image);

    // The label is as wide as the text's bounding box at height 16, so the text at the label's
    // own height 14 fits with its borders. The label's font keeps the typeface alive.
    const auto typeface = EmbeddedResources::createInterfaceTypeface();
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (juce::Font (typeface).withHeight (16.0f), versionText, 0.0f, 0.0f);
    const auto width = (int) std::ceil (glyphs.getBoundingBox (0, -1, true).getWidth());

    versionLabel.setSize (width, 14);
    versionLabel.setText (versionText, juce::dontSendNotification);
    versionLabel.setFont (juce::Font (typeface));
    addAndMakeVisible (versionLabel);
}

void About::mouseUp (const juce::MouseEvent&)
{
    toBack();
}

void About::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void About::resized()
{
    image.setBounds (getLocalBounds());
    versionLabel.setTopLeftPosition (getWidth() - versionLabel.getWidth() - 115, 115);
}

} // namespace OSK
