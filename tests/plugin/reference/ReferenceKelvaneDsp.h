#pragma once

// The engine's audio side written the straightforward way: every working value smoothed every
// sample, the equaliser's kernels synthesised one inverse-DFT tap per sample from a complex
// spectrum, the FIR as a direct sum, the limiter scanning its whole look-ahead window and peak
// history every sample, decibels through log10 and pow. It reuses the engine's parameter side
// (the same targets and coefficients), so a fast engine and this one, fed the same parameter
// changes and the same audio, must give the same output to within rounding.

#include "plugin/KelvaneDsp.h"

#include <array>
#include <complex>
#include <vector>

namespace KelvaneTest
{
class ReferenceKelvaneDsp : public OSK::KelvaneDsp
{
public:
    using OSK::KelvaneDsp::KelvaneDsp;

    void prepareToPlay (double newSampleRate, int maximumBlockSize, int numIns, int numOuts) override;

    void processFloat (int numSamples, const float* const* inputs, float* const* outputs) noexcept override;
    void processDouble (int numSamples, const double* const* inputs, double* const* outputs) noexcept override;

private:
    template <typename Sample>
    void process (int numSamples, const Sample* const* inputs, Sample* const* outputs) noexcept;

    void takeOverSpectrumRefreshes();
    void updateKernelsOneTap();
    void equalise (const double* in, double* out);
    void limit (const double* in, double* out);
    double expanderGain (const double* x);
    double compressorGain (const double* z);

    std::array<std::vector<std::complex<double>>, numChannels> referenceSpectra;
    std::array<std::vector<std::complex<double>>, numChannels> referenceSynthesisSpectra;
    std::array<bool, numChannels> referencePending {};
    std::array<bool, numChannels> referenceSynthesising {};
    std::array<int, numChannels> referenceTap {};
};

} // namespace KelvaneTest
