#pragma once

// Helpers for the editor tests: drawing components and film-strip frames into images, comparing
// images, delivering mouse events to a component without a window, counting repaints, and a
// settings folder of the test's own.

#include "osk_gui/SettingsFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <memory>

namespace KelvaneTest
{
/** The component as it paints itself (children included), at one image pixel per logical pixel. */
inline juce::Image snapshot (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}

/** What drawing one frame of a strip into a width x height area looks like. */
inline juce::Image drawnFrame (const juce::Image& strip, juce::Rectangle<int> source, int width, int height)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    g.drawImage (strip, 0, 0, width, height, source.getX(), source.getY(), source.getWidth(), source.getHeight());
    return image;
}

/** Pixels whose channels differ by more than `tolerance` between two images of the same size. */
inline int countDifferentPixels (const juce::Image& a, const juce::Image& b, int tolerance = 2)
{
    if (a.getBounds() != b.getBounds())
        return a.getWidth() * a.getHeight() + 1;

    auto differences = 0;

    for (int y = 0; y < a.getHeight(); ++y)
    {
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y);
            const auto q = b.getPixelAt (x, y);

            if (std::abs (p.getAlpha() - q.getAlpha()) > tolerance || std::abs (p.getRed() - q.getRed()) > tolerance
                || std::abs (p.getGreen() - q.getGreen()) > tolerance || std::abs (p.getBlue() - q.getBlue()) > tolerance)
                ++differences;
        }
    }

    return differences;
}

/** A mouse event at a point of the component with the given buttons and keys held. */
inline juce::MouseEvent mouseEventAt (juce::Component& component, juce::Point<float> position, juce::ModifierKeys modifiers)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), position, modifiers,
             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY, &component, &component, now, position, now, 1, false };
}

/** A left click (press and release) in the middle of the component. */
inline void click (juce::Component& component)
{
    const auto centre = component.getLocalBounds().getCentre().toFloat();
    component.mouseDown (mouseEventAt (component, centre, juce::ModifierKeys::leftButtonModifier));
    component.mouseUp (mouseEventAt (component, centre, juce::ModifierKeys::leftButtonModifier));
}

/** An image of one colour, for widgets whose pictures a test replaces to see exactly what they draw. */
inline juce::Image solidImage (int width, int height, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, width, height, false);
    image.clear (image.getBounds(), colour);
    return image;
}

/** Counts the repaint requests of a visible component: JUCE hands every repaint() of a component
    to its cached image, so a cached image that only counts sees each one, with no window and no
    message loop. The component draws nothing while it is watched. */
class RepaintCounter
{
public:
    explicit RepaintCounter (juce::Component& componentToWatch) : component (componentToWatch)
    {
        component.setVisible (true);
        component.setCachedComponentImage (new CountingImage (count)); // the component owns it
        count = 0; // installing it repaints once
    }

    ~RepaintCounter() { component.setCachedComponentImage (nullptr); }

    int count = 0;

private:
    struct CountingImage : juce::CachedComponentImage
    {
        explicit CountingImage (int& counter) : repaints (counter) {}

        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { ++repaints; return true; }
        bool invalidate (const juce::Rectangle<int>&) override { ++repaints; return true; }
        void releaseResources() override {}

        int& repaints;
    };

    juce::Component& component;

    JUCE_DECLARE_NON_COPYABLE (RepaintCounter)
};

/** Points the settings file at an empty folder of the test's own for the test's lifetime, so that
    a developer's own settings are never read or written; afterwards the folder is deleted and the
    settings file points where it pointed before. */
class ScopedSettingsFolder
{
public:
    ScopedSettingsFolder()
        : previousFolder (OSK::SettingsFile::getFile().getParentDirectory()),
          // Unique across test processes that run at the same time.
          folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("kelvane-settings-test-" + juce::Uuid().toString()))
    {
        folder.createDirectory();
        OSK::SettingsFile::setFolderForTesting (folder);
    }

    ~ScopedSettingsFolder()
    {
        OSK::SettingsFile::setFolderForTesting (previousFolder);
        folder.deleteRecursively();
    }

    [[nodiscard]] juce::File settingsFile() const { return folder.getChildFile ("settings.json"); }

    const juce::File previousFolder;
    const juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (ScopedSettingsFolder)
};

} // namespace KelvaneTest
