#pragma once

#include <juce_core/juce_core.h>

#include <ebur128.h>

#include <limits>
#include <vector>

namespace KelvaneRender
{
/** What the report says about a signal's level. Silence gives minus infinity. */
struct LoudnessFigures
{
    double integratedLufs = -std::numeric_limits<double>::infinity();
    double loudnessRangeLu = 0.0;
    double samplePeakDb = -std::numeric_limits<double>::infinity();
    double truePeakDb = -std::numeric_limits<double>::infinity();
};

/** Integrated loudness, loudness range, sample peak and true peak of a whole signal after
    ITU-R BS.1770-4 and EBU R 128, measured by libebur128 (its true peak oversamples 4 times
    below 96 kHz). A mono signal is measured as dual mono, as it sounds from two speakers.
*/
class LoudnessMeter
{
public:
    /** A meter for one or two channels at a sample rate; throws RenderError if libebur128
        refuses them. */
    LoudnessMeter (int numChannels, double sampleRate);
    ~LoudnessMeter();

    /** Adds frames given as one array per channel. */
    void addFrames (const double* const* channels, int numFrames);

    /** The figures of everything added so far. */
    [[nodiscard]] LoudnessFigures getFigures() const;

private:
    ebur128_state* state = nullptr;
    int channels;
    std::vector<double> interleaved;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoudnessMeter)
};

/** 20·log10 of an amplitude, minus infinity for zero. */
[[nodiscard]] double amplitudeToDecibels (double amplitude) noexcept;

} // namespace KelvaneRender
