#include "LoudnessMeter.h"

#include "RenderError.h"

#include <cmath>

namespace KelvaneRender
{
double amplitudeToDecibels (double amplitude) noexcept
{
    return amplitude > 0.0 ? 20.0 * std::log10 (amplitude) : -std::numeric_limits<double>::infinity();
}

LoudnessMeter::LoudnessMeter (int numChannels, double sampleRate)
    : channels (numChannels)
{
    const int mode = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_TRUE_PEAK;
    state = ebur128_init (static_cast<unsigned int> (numChannels), static_cast<unsigned long> (std::lround (sampleRate)), mode);

    if (state == nullptr)
        throw RenderError ("cannot measure loudness at " + std::to_string (sampleRate) + " Hz");

    if (numChannels == 1)
        ebur128_set_channel (state, 0, EBUR128_DUAL_MONO);
}

LoudnessMeter::~LoudnessMeter()
{
    ebur128_destroy (&state);
}

void LoudnessMeter::addFrames (const double* const* channelData, int numFrames)
{
    if (numFrames <= 0)
        return;

    const auto count = static_cast<size_t> (numFrames);
    const auto stride = static_cast<size_t> (channels);
    interleaved.resize (count * stride);

    for (size_t c = 0; c < stride; ++c)
        for (size_t i = 0; i < count; ++i)
            interleaved[i * stride + c] = channelData[c][i];

    ebur128_add_frames_double (state, interleaved.data(), count);
}

LoudnessFigures LoudnessMeter::getFigures() const
{
    LoudnessFigures figures;
    double value = 0.0;

    if (ebur128_loudness_global (state, &value) == EBUR128_SUCCESS)
        figures.integratedLufs = value;

    if (ebur128_loudness_range (state, &value) == EBUR128_SUCCESS && std::isfinite (value))
        figures.loudnessRangeLu = value;

    double samplePeak = 0.0, truePeak = 0.0;

    for (unsigned int c = 0; c < static_cast<unsigned int> (channels); ++c)
    {
        if (ebur128_sample_peak (state, c, &value) == EBUR128_SUCCESS)
            samplePeak = std::max (samplePeak, value);

        if (ebur128_true_peak (state, c, &value) == EBUR128_SUCCESS)
            truePeak = std::max (truePeak, value);
    }

    figures.samplePeakDb = amplitudeToDecibels (samplePeak);

    // The true peak is never below the sample peak, whatever the interpolator's ripple.
    figures.truePeakDb = amplitudeToDecibels (std::max (truePeak, samplePeak));
    return figures;
}

} // namespace KelvaneRender
