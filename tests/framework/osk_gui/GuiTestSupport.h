#pragma once

// Helpers for the editor tests: drawing components and film-strip frames into images, comparing
// images, and delivering mouse events to a component without a window.

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

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

} // namespace KelvaneTest
