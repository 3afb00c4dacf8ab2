#pragma once

// The look of the Kelvane panel in one place: colours, the knob arc and the meter scales. Every
// drawing function works in the editor's logical pixels; the images are stored at twice that
// density, so each canvas is scaled by `density` before anything is drawn.

#include <juce_graphics/juce_graphics.h>

namespace KelvaneArtwork
{
/** Pixels of image per logical pixel of the editor. */
inline constexpr float density = 2.0f;

/** An image of the given logical size at double density, cleared to transparent. */
[[nodiscard]] inline juce::Image makeCanvas (int logicalWidth, int logicalHeight)
{
    return { juce::Image::ARGB, juce::roundToInt ((float) logicalWidth * density),
             juce::roundToInt ((float) logicalHeight * density), true };
}

/** Scales a graphics context so that the following drawing uses logical pixels. */
inline void useLogicalPixels (juce::Graphics& g)
{
    g.addTransform (juce::AffineTransform::scale (density));
}

//==================================================================================================
namespace Palette
{
    // The panel: a light, warm grey, so the black text the editor draws is always readable.
    inline const juce::Colour gutter { 0xffc9c5bf };
    inline const juce::Colour plateTop { 0xffedebe7 };
    inline const juce::Colour plateBottom { 0xffe2dfda };
    inline const juce::Colour plateEdge { 0xffb3aea7 };
    inline const juce::Colour plateHighlight { 0xaaffffff };

    // Printed text.
    inline const juce::Colour ink { 0xff232323 };
    inline const juce::Colour caption { 0xff2e2e2e };
    inline const juce::Colour scaleText { 0xff46433f };
    inline const juce::Colour faintInk { 0xff66625c };

    // Displays set into the panel.
    inline const juce::Colour windowFill { 0xfff8f7f4 };
    inline const juce::Colour windowEdge { 0xffbdb8b1 };
    inline const juce::Colour well { 0xff1e2023 };
    inline const juce::Colour wellEdge { 0xff8f8a83 };

    // One accent per section, used by its knob arcs and its heading rules.
    inline const juce::Colour expander { 0xff2a9486 };
    inline const juce::Colour equaliser { 0xffd9892b };
    inline const juce::Colour compressor { 0xff3d72bd };
    inline const juce::Colour limiter { 0xffcf4632 };
    inline const juce::Colour output { 0xff5d6b78 };

    // Meter segments.
    inline const juce::Colour meterGreen { 0xff44c46f };
    inline const juce::Colour meterYellow { 0xffeec33d };
    inline const juce::Colour meterRed { 0xffec4a3c };
    inline const juce::Colour meterAmber { 0xfff0a43c };
} // namespace Palette

//==================================================================================================
/** The arc of JUCE's default rotary slider, clockwise from twelve o'clock: about 7 to 5 o'clock. */
inline constexpr float knobStartAngle = juce::MathConstants<float>::pi * 1.2f;
inline constexpr float knobEndAngle = juce::MathConstants<float>::pi * 2.8f;

/** Frames in a knob film strip, and the logical size of one frame. */
inline constexpr int knobFrames = 101;
inline constexpr int knobSize = 72;

/** The vertical meters: their top edge on the panel, their height, and the range they show. */
inline constexpr float meterTop = 25.0f;
inline constexpr float meterHeight = 500.0f;
inline constexpr float meterRangeDb = 48.0f;

/** Distance from a meter's top edge to the level `dbBelowTop` decibels below full scale. */
[[nodiscard]] inline float meterOffsetForDb (float dbBelowTop, float rangeDb = meterRangeDb)
{
    return meterHeight * dbBelowTop / rangeDb;
}

} // namespace KelvaneArtwork
