#include "AboutArtwork.h"

#include "ArtworkStyle.h"
#include "LogoArtwork.h"
#include "PanelText.h"

namespace KelvaneArtwork
{
namespace
{
    constexpr float pageWidth = 1040.0f;
    constexpr float pageHeight = 670.0f;

    const juce::Colour pageTop { 0xff232529 };
    const juce::Colour pageBottom { 0xff141518 };
    const juce::Colour bodyInk { 0xffd3cec6 };
    const juce::Colour quietInk { 0xffa39e96 };

    // The four stages in the order the signal meets them, each with its section colour.
    void drawChain (juce::Graphics& g, juce::Rectangle<float> area)
    {
        const struct
        {
            const char* name;
            const char* detail;
            juce::Colour colour;
        } stages[] {
            { "EXPANDER", "downward, with its own gain-reduction meter", Palette::expander },
            { "EQUALISER", "five bands and gain per channel, left/right or mid/side, IIR or linear-phase FIR", Palette::equaliser },
            { "COMPRESSOR", "soft knee, optional automatic make-up gain", Palette::compressor },
            { "LIMITER", "look-ahead brick wall that never passes its ceiling", Palette::limiter },
        };

        for (const auto& stage : stages)
        {
            auto row = area.removeFromTop (30.0f);
            g.setColour (stage.colour);
            g.fillRoundedRectangle (row.removeFromLeft (4.0f).reduced (0.0f, 6.0f), 2.0f);
            row.removeFromLeft (12.0f);
            drawText (g, stage.name, row.removeFromLeft (112.0f), { 12.5f, juce::Colour (0xfff2efe9), juce::Justification::centredLeft, 0.2f, 0.35f });
            drawText (g, stage.detail, row, { 14.0f, bodyInk, juce::Justification::centredLeft, 0.0f, 0.0f });
        }
    }
} // namespace

juce::Image drawAboutPage()
{
    auto image = makeCanvas ((int) pageWidth, (int) pageHeight);
    juce::Graphics g (image);
    useLogicalPixels (g);

    g.setGradientFill ({ pageTop, 0.0f, 0.0f, pageBottom, 0.0f, pageHeight, false });
    g.fillAll();

    // A large, faint arc of the knob sweep behind the right half of the page.
    {
        juce::Path arc;
        arc.addCentredArc (830.0f, 330.0f, 170.0f, 170.0f, 0.0f, knobStartAngle, knobEndAngle, true);
        g.setColour (juce::Colour (0x09ffffff));
        g.strokePath (arc, juce::PathStrokeType (16.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    drawLogo (g, { 80.0f, 70.0f, 362.5f, 100.0f }, true);

    const TextStyle body { 15.5f, bodyInk, juce::Justification::left, 0.0f, 0.0f };
    drawParagraph (g, "A stereo mastering chain. Every sample passes, in double precision, through four "
                      "stages; the Power switch crossfades between the chain and a latency-aligned copy "
                      "of the input, so switching never clicks.",
                   { 84.0f, 205.0f, 560.0f, 80.0f }, body);

    drawChain (g, { 84.0f, 285.0f, 760.0f, 120.0f });

    const TextStyle quiet { 13.0f, quietInk, juce::Justification::left, 0.0f, 0.0f };
    drawParagraph (g, juce::String::fromUTF8 ("Made by Oskvar Audio \xe2\x80\x94 oskvaraudio.com\n"
                      "Interface typeface: Source Sans Pro by Adobe, under the SIL Open Font License 1.1.\n"
                      "Built with JUCE. Kelvane is free software under the GNU General Public License, version 3."),
                   { 84.0f, 460.0f, 700.0f, 80.0f }, quiet, 1.55f);

    g.setColour (juce::Colour (0x22ffffff));
    g.fillRect (juce::Rectangle<float> (84.0f, 610.0f, pageWidth - 168.0f, 1.0f));
    drawText (g, "Click anywhere to close", { 84.0f, 620.0f, pageWidth - 168.0f, 20.0f },
              { 11.0f, quietInk, juce::Justification::centred, 0.12f, 0.0f });
    return image;
}

} // namespace KelvaneArtwork
