// Writes a picture of the Kelvane editor to a PNG file, without a host:
//
//     kelvane_screenshot [output.png] [--about] [--scale factor]
//
// The processor is set to a typical mastering setting and plays two seconds of a loud test
// signal while the editor is open, with the editor's meter refresh running at its usual pace, so
// the picture shows the panel as a user sees it during playback. --about shows the About panel
// instead; --scale 2 draws at the density of a high-density screen. It needs a display
// (scripts/screenshot.sh runs it under Xvfb).

#include "plugin/KelvaneEditor.h"

#include <cmath>
#include <iostream>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr double playSeconds = 2.0;

// A plausible setting for a loud master: enough movement that every strip shows several frames,
// every dynamics stage reduces a little, the peaks stay under the ceiling, and the K-14 scale,
// which suits a master this loud.
void setTypicalSettings (OSK::KelvaneProcessor& processor)
{
    const std::pair<const char*, float> settings[] {
        { "Thresh", 0.55f }, { "Ratio", 0.22f }, { "Attack", 0.45f }, { "Release", 0.6f },
        { "MHiShlf", 0.6f }, { "MHiBand", 0.46f }, { "MMidBand", 0.5f }, { "MLoBand", 0.56f }, { "MLowShlf", 0.42f },
        { "CompThr", 0.62f }, { "CompRtio", 0.3f }, { "CompAtt", 0.55f }, { "CompRel", 0.4f }, { "CompGain", 0.08f },
        { "CAG", 1.0f }, { "LGain", 0.12f }, { "LCeil", 0.99f }, { "LRel", 0.3f }, { "MakeUp", 0.0f },
        { "MetSwi", 0.5f },
    };

    for (const auto& [id, value] : settings)
        if (auto* parameter = processor.valueTreeState.getParameter (id))
            parameter->setValueNotifyingHost (value);
}

// A loud, music-like test signal: a bass note and a chord under a beat of decaying low thumps,
// the right channel a little quieter and with a slightly different chord, so that the stereo
// meters sit off their centres. Peaks reach about -1 dBFS.
void fillTestSignal (juce::AudioBuffer<float>& buffer, juce::int64 startSample)
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;
    constexpr double beatSeconds = 0.5;

    for (int n = 0; n < buffer.getNumSamples(); ++n)
    {
        const auto t = (double) (startSample + n) / sampleRate;
        const auto sinceBeat = std::fmod (t, beatSeconds);
        const auto thump = 0.45 * std::exp (-sinceBeat * 14.0) * std::sin (twoPi * 52.0 * sinceBeat);
        const auto bass = 0.22 * std::sin (twoPi * 55.0 * t);
        const auto chordLeft = 0.08 * (std::sin (twoPi * 220.0 * t) + std::sin (twoPi * 277.2 * t) + std::sin (twoPi * 329.6 * t));
        const auto chordRight = 0.08 * (std::sin (twoPi * 220.0 * t + 0.4) + std::sin (twoPi * 261.6 * t) + std::sin (twoPi * 392.0 * t));
        const auto air = 0.03 * std::sin (twoPi * 6000.0 * t) * (0.5 + 0.5 * std::sin (twoPi * 3.0 * t));

        buffer.setSample (0, n, (float) (thump + bass + chordLeft + air));
        buffer.setSample (1, n, (float) (0.9 * (thump + bass) + chordRight + air));
    }
}

// Plays the signal through the processor as a host would, and gives the editor a meter refresh
// every 41 ms of audio, as its timer does while audio plays.
void playTestSignal (OSK::KelvaneProcessor& processor, OSK::BaseEditor& editor)
{
    processor.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    const auto totalSamples = (juce::int64) (playSeconds * sampleRate);
    const auto samplesPerRefresh = (juce::int64) (sampleRate * OSK::BaseEditor::meterRefreshIntervalMs / 1000.0);
    juce::int64 nextRefresh = samplesPerRefresh;

    for (juce::int64 start = 0; start < totalSamples; start += blockSize)
    {
        fillTestSignal (buffer, start);
        processor.processBlock (buffer, midi);

        if (start + blockSize >= nextRefresh)
        {
            editor.timerCallback();
            nextRefresh += samplesPerRefresh;
        }
    }

    editor.timerCallback();
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
        // As a host opens the window: the processor creates its editor and knows it as the active one.
        std::unique_ptr<juce::AudioProcessorEditor> created (processor.createEditorIfNeeded());
        auto* editor = dynamic_cast<OSK::KelvaneEditor*> (created.get());

        if (editor == nullptr)
        {
            std::cerr << "kelvane_screenshot: the processor did not create the Kelvane editor\n";
            return 1;
        }

        // Drawn straight into an image: a desktop window would add nothing to the picture, and
        // Xvfb has no window manager to give it one.
        editor->setVisible (true);
        playTestSignal (processor, *editor);

        if (showAbout)
            editor->logoButton.onClick();

        image = editor->createComponentSnapshot (editor->getLocalBounds(), true, scale);
        processor.editorBeingDeleted (editor); // as a host's wrapper does before closing the window
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
