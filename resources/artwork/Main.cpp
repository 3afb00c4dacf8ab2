// Draws every image of the Kelvane editor and writes them as PNG files.
//
//     kelvane_artwork <interface font file> <output folder>
//
// The build runs it (cmake/Resources.cmake) before the resource tables are written. The look is
// set in ArtworkStyle.h (colours, knob arc, meter range) and in one file per kind of image.

#include "AboutArtwork.h"
#include "BackgroundArtwork.h"
#include "ButtonArtwork.h"
#include "KnobArtwork.h"
#include "MeterArtwork.h"
#include "PanelText.h"
#include "SwitchArtwork.h"
#include "ArtworkStyle.h"

#include <functional>
#include <iostream>

namespace
{
using namespace KelvaneArtwork;

struct Artwork
{
    const char* fileName;
    int width, height; // in pixels, as the editor expects them
    std::function<juce::Image()> draw;
};

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream stream (file);

    if (! stream.openedOk())
        return false;

    juce::PNGImageFormat png;
    return png.writeImageToStream (image, stream);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 3)
    {
        std::cerr << "usage: kelvane_artwork <interface font file> <output folder>\n";
        return 2;
    }

    const juce::File fontFile (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));

    if (! loadTypeface (fontFile))
    {
        std::cerr << "kelvane_artwork: cannot load the font " << fontFile.getFullPathName() << "\n";
        return 1;
    }

    const juce::Array<juce::Colour> correlationPointer { Palette::meterGreen.darker (0.15f), Palette::meterYellow.darker (0.1f), Palette::meterRed };

    const Artwork artworks[] {
        { "About.png", 2080, 1340, drawAboutPage },
        { "Background.png", 2080, 1340, drawBackground },
        { "KnobComp.png", 144, 14544, [] { return drawKnobStrip ({ Palette::compressor, Palette::compressor, false }); } },
        { "KnobEQ.png", 144, 14544, [] { return drawKnobStrip ({ Palette::equaliser, Palette::equaliser, true }); } },
        { "KnobExp.png", 144, 14544, [] { return drawKnobStrip ({ Palette::expander, Palette::expander, false }); } },
        { "KnobLim.png", 144, 14544, [] { return drawKnobStrip ({ Palette::limiter, Palette::limiter, false }); } },
        { "MeterLMainOff.png", 40, 1000, [] { return drawMeterOff (20, MeterLadder::main); } },
        { "MeterLMainOn.png", 120, 1000, drawMainMeterOn },
        { "MeterMPeakOff.png", 20, 1000, [] { return drawMeterOff (10, MeterLadder::peak); } },
        { "MeterMPeakOn.png", 20, 1000, [] { return drawPeakMeterOn (10); } },
        { "MeterPointBal.png", 8, 30, [] { return drawPointer ({ juce::Colour (0xff2c3138) }); } },
        { "MeterPointCorr.png", 24, 30, [&correlationPointer] { return drawPointer (correlationPointer); } },
        { "MeterPointOff.png", 220, 30, drawPointerBackground },
        { "MeterSGROff.png", 10, 1000, [] { return drawMeterOff (5, MeterLadder::gainReduction); } },
        { "MeterSGROn.png", 10, 1000, [] { return drawGainReductionMeterOn (5); } },
        { "MeterSPeakOff.png", 10, 1000, [] { return drawMeterOff (5, MeterLadder::peak); } },
        { "MeterSPeakOn.png", 10, 1000, [] { return drawPeakMeterOn (5); } },
        { "MeterScale.png", 120, 1020, drawMeterScale },
        { "SwitchRed.png", 24, 48, [] { return drawSwitch (juce::Colour (0xffff3b2c)); } },
        { "SwitchYellow.png", 24, 48, [] { return drawSwitch (juce::Colour (0xffffc62e)); } },
        { "banner.png", 342, 108, drawBanner },
        { "settings.png", 46, 108, drawSettingsButton },
    };

    if (! folder.createDirectory())
    {
        std::cerr << "kelvane_artwork: cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    for (const auto& artwork : artworks)
    {
        const auto image = artwork.draw();

        // The editor cuts the images into frames by their size, so a wrong size is a build error.
        if (image.getWidth() != artwork.width || image.getHeight() != artwork.height)
        {
            std::cerr << "kelvane_artwork: " << artwork.fileName << " is " << image.getWidth() << " x "
                      << image.getHeight() << " pixels, expected " << artwork.width << " x " << artwork.height << "\n";
            return 1;
        }

        if (! writePng (image, folder.getChildFile (artwork.fileName)))
        {
            std::cerr << "kelvane_artwork: cannot write " << artwork.fileName << "\n";
            return 1;
        }
    }

    return 0;
}
