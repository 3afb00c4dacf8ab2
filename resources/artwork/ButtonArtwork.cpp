#include "ButtonArtwork.h"

#include "ArtworkStyle.h"
#include "PanelText.h"

namespace KelvaneArtwork
{
namespace
{
    const juce::Colour restingInk { 0xffa39e96 };
    const juce::Colour pressedInk { 0xffffffff };

    void drawBannerFrame (juce::Graphics& g, juce::Rectangle<float> frame, juce::Colour ink)
    {
        g.setColour (juce::Colours::black);
        g.fillRect (frame);

        // A small ring stands for the maker; the name follows in spaced capitals.
        const auto ring = juce::Rectangle<float> (11.0f, 11.0f).withCentre ({ frame.getX() + 12.0f, frame.getCentreY() });
        g.setColour (ink);
        g.drawEllipse (ring, 1.6f);
        g.fillEllipse (ring.reduced (3.6f));

        auto text = frame.withTrimmedLeft (23.0f);
        drawText (g, "OSKVAR AUDIO", text.removeFromLeft (92.0f), { 11.5f, ink, juce::Justification::centredLeft, 0.18f, 0.35f });
        drawText (g, "oskvaraudio.com", text, { 9.0f, ink.withMultipliedAlpha (0.7f), juce::Justification::centredLeft, 0.02f, 0.0f });
    }

    juce::Path gear (juce::Point<float> centre, float outer, float inner, int teeth)
    {
        juce::Path path;

        for (int i = 0; i < teeth * 4; ++i)
        {
            // Each tooth: rise, top, fall, root, a quarter of the pitch each.
            const auto angle = juce::MathConstants<float>::twoPi * (float) i / (float) (teeth * 4);
            const auto radius = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
            const auto point = centre.getPointOnCircumference (radius, angle);

            if (i == 0)
                path.startNewSubPath (point);
            else
                path.lineTo (point);
        }

        path.closeSubPath();
        path.addEllipse (juce::Rectangle<float> (outer * 0.8f, outer * 0.8f).withCentre (centre));
        path.setUsingNonZeroWinding (false);
        return path;
    }

    void drawGearFrame (juce::Graphics& g, juce::Rectangle<float> frame, juce::Colour ink)
    {
        g.setColour (juce::Colours::black);
        g.fillRect (frame);
        g.setColour (ink);
        g.fillPath (gear (frame.getCentre(), 7.2f, 5.4f, 8));
    }
} // namespace

juce::Image drawBanner()
{
    auto image = makeCanvas (171, 54);
    juce::Graphics g (image);
    useLogicalPixels (g);

    drawBannerFrame (g, { 0.0f, 0.0f, 171.0f, 27.0f }, restingInk);
    drawBannerFrame (g, { 0.0f, 27.0f, 171.0f, 27.0f }, pressedInk);
    return image;
}

juce::Image drawSettingsButton()
{
    auto image = makeCanvas (23, 54);
    juce::Graphics g (image);
    useLogicalPixels (g);

    drawGearFrame (g, { 0.0f, 0.0f, 23.0f, 27.0f }, restingInk);
    drawGearFrame (g, { 0.0f, 27.0f, 23.0f, 27.0f }, pressedInk);
    return image;
}

} // namespace KelvaneArtwork
