#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

namespace KelvaneRender
{
/** A short stereo test piece synthesised in code, the same on every run: a pad playing
    A minor, F, C and G, a bass line, kick, snare and hi-hats at 120 beats a minute, with a
    quieter first bar and a ringing last chord, so that the chain has music-like dynamics to
    work on. Its peak is −6 dBFS, like an unmastered mix. `seconds` is rounded to whole bars (2 s each), at least two. */
[[nodiscard]] juce::AudioBuffer<double> makeDemoPiece (double sampleRate = 44100.0, double seconds = 12.0);

/** Writes the piece as a 24-bit stereo WAV file at 44.1 kHz, through a temporary file.
    Throws RenderError if the file cannot be written. */
void writeDemoPiece (const juce::File& file);

} // namespace KelvaneRender
