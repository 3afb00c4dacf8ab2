#pragma once

#include "AtomicFile.h"
#include "AudioInput.h"
#include "ChainSettings.h"
#include "LoudnessMeter.h"
#include "OutputFormat.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace KelvaneRender
{
/** The largest gain reduction of each dynamics stage in dB (positive), or nothing when the
    stage is bypassed or the chain switched off. */
struct StageReductions
{
    std::optional<double> expanderDb, compressorDb, limiterDb;
};

/** How one pass renders a file. */
struct PassRequest
{
    const ChainSettings* settings = nullptr;
    AudioInput* input = nullptr;
    OutputFormat format;
    bool latencyCompensation = true;
    bool dither = true;
    std::uint64_t ditherSeed = 0;

    /** Replace the settings' limiter drive ("LGain") and ceiling ("LCeil"), normalised. */
    std::optional<float> limiterDrive, limiterCeiling;

    /** Where the output goes; null to measure only. */
    AtomicAudioFile* destination = nullptr;

    /** Measure the input too (once per file is enough). */
    bool measureInput = false;

    /** Told the fraction done now and then (0..1). */
    std::function<void (double)> progress;
};

/** What one pass measured. */
struct PassResult
{
    LoudnessFigures output;
    std::optional<LoudnessFigures> input;
    StageReductions reductions;
    juce::int64 clippedSamples = 0; ///< beyond full scale in a fixed-point output
};

/** The number of samples the renderer hands the processor at a time. The stage meters are read
    between blocks, so short blocks miss little: the held compressor and limiter gains drift back
    by at most 0.015 dB over a block at 44.1 kHz. The output does not depend on the block size,
    and blocks this short cost no measurable time next to the chain's work. */
inline constexpr int renderBlockSize = 64;

/** Renders a file once through a fresh KelvaneProcessor, hosted as a host bounces a track: the
    settings applied through the plug-in's state, prepared, left to settle, prepared again so
    that it starts from rest with every parameter at its value, then fed the file in blocks in
    double precision. With latency compensation the first 2689 output samples are dropped and
    the input is followed by as much silence, so the output lines up with the input and is
    just as long; without it the output is what a host records over the file's length. The
    output is quantised to the file's sample format, measured and written.
    Throws RenderError on a read or write failure or an interrupt.
*/
[[nodiscard]] PassResult renderPass (const PassRequest& request);

} // namespace KelvaneRender
