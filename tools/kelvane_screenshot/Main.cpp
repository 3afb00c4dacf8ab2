// Writes a picture of the Kelvane editor to a PNG file, without a host:
//
//     kelvane_screenshot [output.png] [--about] [--scale factor]
//
// The editor is the base editor with the product's controls placed on it (PreviewEditor), on a
// processor set to a typical mastering setting so the knobs show different positions. --about
// shows the About panel instead of the controls; --scale 2 draws at the density of a high-density
// screen. It needs a display (scripts/screenshot.sh runs it under Xvfb).

#include "PreviewEditor.h"

#include <iostream>

namespace
{
// A plausible setting for a loud master: enough movement that every strip shows several frames.
void setTypicalSettings (OSK::KelvaneProcessor& processor)
{
    const std::pair<const char*, float> settings[] {
        { "Thresh", 0.55f }, { "Ratio", 0.22f }, { "Attack", 0.45f }, { "Release", 0.6f },
        { "MHiShlf", 0.6f }, { "MHiBand", 0.46f }, { "MMidBand", 0.5f }, { "MLoBand", 0.56f }, { "MLowShlf", 0.42f },
        { "CompThr", 0.62f }, { "CompRtio", 0.3f }, { "CompAtt", 0.55f }, { "CompRel", 0.4f }, { "CompGain", 0.08f },
        { "CAG", 1.0f }, { "LGain", 0.12f }, { "LCeil", 0.99f }, { "LRel", 0.3f }, { "MakeUp", 0.05f },
    };

    for (const auto& [id, value] : settings)
        if (auto* parameter = processor.valueTreeState.getParameter (id))
            parameter->setValueNotifyingHost (value);
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI gui;

    juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile ("editor.png");
    auto showAbout = false;
    auto scale = 1.0f;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String argument (argv[i]);

        if (argument == "--about")
            showAbout = true;
        else if (argument == "--scale" && i + 1 < argc)
            scale = juce::jlimit (0.5f, 4.0f, juce::String (argv[++i]).getFloatValue());
        else
            output = juce::File::getCurrentWorkingDirectory().getChildFile (argument);
    }

    OSK::KelvaneProcessor processor;
    setTypicalSettings (processor);

    juce::Image image;
    {
        KelvaneScreenshot::PreviewEditor editor (processor);
        // Drawn straight into an image: a desktop window would add nothing to the picture, and
        // Xvfb has no window manager to give it one.
        editor.setVisible (true);

        if (showAbout)
            editor.logoButton.onClick();

        image = editor.createComponentSnapshot (editor.getLocalBounds(), true, scale);
    }

    output.getParentDirectory().createDirectory();
    output.deleteFile();
    juce::FileOutputStream stream (output);
    juce::PNGImageFormat png;

    if (! stream.openedOk() || ! png.writeImageToStream (image, stream))
    {
        std::cerr << "kelvane_screenshot: cannot write " << output.getFullPathName() << "\n";
        return 1;
    }

    std::cout << "Wrote " << output.getFullPathName() << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
    return 0;
}
