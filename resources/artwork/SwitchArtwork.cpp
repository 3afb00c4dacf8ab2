#include "SwitchArtwork.h"

#include "ArtworkStyle.h"

namespace KelvaneArtwork
{
namespace
{
    constexpr float size = 12.0f;

    void drawLamp (juce::Graphics& g, juce::Point<float> centre, juce::Colour colour, bool lit)
    {
        const auto bezel = juce::Rectangle<float> (11.4f, 11.4f).withCentre (centre);
        g.setGradientFill ({ juce::Colour (0xff2a2b2e), centre.x, bezel.getY(), juce::Colour (0xff8d8f93), centre.x, bezel.getBottom(), false });
        g.fillEllipse (bezel);

        const auto lens = bezel.reduced (1.6f);

        if (lit)
        {
            g.setGradientFill ({ colour.brighter (0.55f), centre.x, centre.y - 1.0f, colour.darker (0.25f), lens.getRight(), lens.getBottom(), true });
            g.fillEllipse (lens);
            g.setColour (colour.withAlpha (0.35f));
            g.drawEllipse (lens.expanded (0.3f), 0.8f);
        }
        else
        {
            const auto dark = colour.darker (2.2f).withMultipliedSaturation (0.6f);
            g.setGradientFill ({ dark.brighter (0.3f), centre.x, lens.getY(), dark.darker (0.6f), centre.x, lens.getBottom(), false });
            g.fillEllipse (lens);
        }

        // A small reflection on the glass.
        g.setColour (juce::Colours::white.withAlpha (lit ? 0.75f : 0.28f));
        g.fillEllipse (juce::Rectangle<float> (2.6f, 1.8f).withCentre ({ centre.x - 1.2f, centre.y - 2.1f }));
    }
} // namespace

juce::Image drawSwitch (juce::Colour litColour)
{
    auto image = makeCanvas ((int) size, (int) size * 2);
    juce::Graphics g (image);
    useLogicalPixels (g);

    drawLamp (g, { size * 0.5f, size * 0.5f }, litColour, false);
    drawLamp (g, { size * 0.5f, size * 1.5f }, litColour, true);
    return image;
}

} // namespace KelvaneArtwork
