#include "osk_dsp/FirSample.h"
#include "osk_dsp/PartitionedConvolver.h"

#include "helpers/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using OSK::DSP::PartitionedConvolver;

namespace
{
constexpr double pi = 3.14159265358979323846;

// The largest difference from the direct sum, relative to the input's peak. The kernels below
// have the gains of real equaliser kernels (up to about +24 dB), so this is also relative to
// the output's level.
constexpr double tolerance = 1e-12;

enum class KernelShape
{
    noise, // white taps under a decaying envelope
    linearPhase, // symmetric windowed band filters around a centre impulse, as the equaliser makes
    mixed // either, at random on every switch
};

enum class InputKind
{
    noise,
    impulses,
    silence,
    mixed // segments of noise, impulses, silence and loud or quiet noise
};

enum class Switches
{
    none, // one kernel for the whole run
    everyKernelLength, // a new kernel every N samples, as the equaliser installs them
    anywhere // at random samples: block starts, middles and ends, several in one block
};

struct Case
{
    const char* name;
    int maximumLength;
    int blockSize; // 0: the convolver's own choice
    std::vector<int> lengths; // the kernel lengths drawn from
    KernelShape shape;
    InputKind input;
    Switches switches;
    int restarts; // times the convolution pauses and resumes from the history
    int samples;
};

using Random = std::mt19937_64;

double uniform (Random& random, double low, double high)
{
    return std::uniform_real_distribution<double> (low, high) (random);
}

int uniformInt (Random& random, int low, int high)
{
    return std::uniform_int_distribution<int> (low, high) (random);
}

std::vector<double> makeKernel (Random& random, int length, KernelShape shape)
{
    if (shape == KernelShape::mixed)
        shape = uniformInt (random, 0, 1) == 0 ? KernelShape::noise : KernelShape::linearPhase;

    std::vector<double> kernel (static_cast<size_t> (length), 0.0);

    if (shape == KernelShape::noise)
    {
        // Unit energy, then a gain from −24 to +24 dB.
        const double decay = uniform (random, 0.5, 8.0) / length;
        double energy = 0.0;

        for (int i = 0; i < length; ++i)
        {
            const double tap = uniform (random, -1.0, 1.0) * std::exp (-decay * i);
            kernel[static_cast<size_t> (i)] = tap;
            energy += tap * tap;
        }

        const double gain = std::pow (10.0, uniform (random, -24.0, 24.0) / 20.0) / std::sqrt (energy);

        for (auto& tap : kernel)
            tap *= gain;

        return kernel;
    }

    // An impulse at the centre plus a few Hann-windowed ideal band-passes with gains of up to
    // ±1, all even about the centre: a linear-phase equaliser kernel.
    const double centre = 0.5 * (length - 1);
    const int bands = uniformInt (random, 1, 5);

    for (int band = 0; band < bands; ++band)
    {
        const double low = uniform (random, 0.0, 0.45);
        const double high = uniform (random, low, 0.5);
        const double gain = uniform (random, -1.0, 1.0);

        for (int i = 0; i < length; ++i)
        {
            const double d = i - centre;
            const double bandPass = d == 0.0 ? 2.0 * (high - low)
                                             : (std::sin (2.0 * pi * high * d) - std::sin (2.0 * pi * low * d)) / (pi * d);
            const double window = length == 1 ? 1.0 : 0.5 - 0.5 * std::cos (2.0 * pi * i / (length - 1));
            kernel[static_cast<size_t> (i)] += gain * bandPass * window;
        }
    }

    kernel[static_cast<size_t> (length / 2)] += 1.0;

    if (length % 2 == 0)
        kernel[static_cast<size_t> (length / 2 - 1)] += 1.0;

    return kernel;
}

/** Draws inputs of one kind, switching between kinds in segments for InputKind::mixed. */
struct InputSource
{
    InputSource (InputKind inputKind, Random& r) : kind (inputKind), random (r) {}

    double next()
    {
        if (kind == InputKind::mixed && --segmentLeft <= 0)
        {
            segmentLeft = uniformInt (random, 1, 3000);
            segmentKind = uniformInt (random, 0, 3);
            segmentLevel = std::pow (10.0, uniform (random, -4.0, 0.0));
        }

        // Segments 0, 1 and 2 are the kinds noise, impulses and silence; 3 is loud square noise.
        const int current = kind == InputKind::mixed ? segmentKind : static_cast<int> (kind);

        switch (current)
        {
            case 0: return segmentLevel * uniform (random, -1.0, 1.0);
            case 1: return uniformInt (random, 0, 199) == 0 ? segmentLevel * uniform (random, -1.0, 1.0) : 0.0;
            case 2: return 0.0;
            default: return uniformInt (random, 0, 1) == 0 ? segmentLevel : -segmentLevel;
        }
    }

    InputKind kind;
    Random& random;
    int segmentLeft = 0;
    int segmentKind = 0;
    double segmentLevel = 1.0;
};

/** The direct sum, as the equaliser computed it before: every input ever pushed, zeros before.
    Also tracks the peak of the last `peakWindow` inputs, the most that can still reach an output
    of the convolver through its delay line. */
struct DirectConvolver
{
    DirectConvolver (int maximumLength, int peakWindowLength)
        : history (static_cast<size_t> (maximumLength), 0.0), peakWindow (peakWindowLength)
    {
    }

    void setKernel (std::vector<double> newKernel) { kernel = std::move (newKernel); }

    void push (double x)
    {
        history.push_back (x);

        // Candidates for the window's maximum, decreasing: a value behind a larger, newer one
        // can never be the maximum again.
        const int index = size() - 1;

        while (! peaks.empty() && peaks.back().second <= std::abs (x))
            peaks.pop_back();

        peaks.emplace_back (index, std::abs (x));

        while (peaks.front().first <= index - peakWindow)
            peaks.pop_front();
    }

    double output() const
    {
        const int length = static_cast<int> (kernel.size());
        return length == 0 ? 0.0 : OSK::DSP::firSample (kernel.data(), history.data() + history.size() - kernel.size(), length);
    }

    double recentPeak() const { return peaks.empty() ? 0.0 : peaks.front().second; }

    /** The last count inputs, oldest first. */
    const double* last (int count) const { return history.data() + history.size() - static_cast<size_t> (count); }

    int size() const { return static_cast<int> (history.size()); }

    std::vector<double> kernel;
    std::vector<double> history;
    int peakWindow;
    std::deque<std::pair<int, double>> peaks;
};

struct Result
{
    double worstError = 0.0; // relative to the input's peak
    double worstRecentError = 0.0; // relative to the peak of the inputs that can still reach the output
    double inputPeak = 0.0;
    int kernelSwitches = 0;
    int restarts = 0;
};

/** The in-block positions that kernel switches aim at, where the tail's bookkeeping changes. */
std::vector<int> switchOffsets (Random& random, int blockSize)
{
    switch (uniformInt (random, 0, 5))
    {
        case 0: return { 0 };
        case 1: return { blockSize - 1 };
        case 2: return { blockSize / 2 };
        case 3: return { 1, blockSize / 2, blockSize - 1 }; // several in one block
        case 4: return { uniformInt (random, 0, blockSize - 1), uniformInt (random, 0, blockSize - 1) }; // maybe twice before one sample
        default: return { uniformInt (random, 0, blockSize - 1) };
    }
}

Result runCase (const Case& c, std::uint64_t seed)
{
    Random random (seed);
    PartitionedConvolver convolver;
    convolver.prepare (c.maximumLength, c.blockSize);
    const int blockSize = convolver.getBlockSize();
    DirectConvolver direct (c.maximumLength, c.maximumLength + 2 * blockSize);
    InputSource source (c.input, random);
    Result result;

    auto drawLength = [&] { return c.lengths[static_cast<size_t> (uniformInt (random, 0, static_cast<int> (c.lengths.size()) - 1))]; };

    auto install = [&] (int length)
    {
        auto kernel = makeKernel (random, length, c.shape);
        convolver.setKernel (kernel.data(), length);
        direct.setKernel (std::move (kernel));
        ++result.kernelSwitches;
    };

    install (drawLength());

    // Where the next restarts and switches happen; `phase` is the convolver's position within
    // its block, which starts at 0 after prepare and after every restart.
    std::vector<int> restartAt;

    for (int i = 0; i < c.restarts; ++i)
        restartAt.push_back (uniformInt (random, 1, c.samples - 1));

    std::sort (restartAt.begin(), restartAt.end());
    size_t nextRestart = 0;
    int phase = 0;
    int sinceSwitch = 0;
    int nextBlockWithSwitches = uniformInt (random, 0, 8);
    std::vector<int> pendingOffsets;

    for (int n = 0; n < c.samples; ++n)
    {
        if (nextRestart < restartAt.size() && n == restartAt[nextRestart])
        {
            ++nextRestart;

            // The equaliser stops convolving for a while but keeps its history, may install a
            // kernel meanwhile, then resumes from the history it kept.
            const int gap = uniformInt (random, 0, 3 * c.maximumLength);

            for (int i = 0; i < gap; ++i)
                direct.push (source.next());

            if (c.switches != Switches::none && uniformInt (random, 0, 1) == 0)
                install (drawLength());

            int count = 0;

            switch (uniformInt (random, 0, 3))
            {
                case 0: count = c.maximumLength - 1; break; // exactly what the longest kernel needs
                case 1: count = c.maximumLength; break; // the equaliser's whole window
                case 2: count = direct.size(); break; // more than the convolver keeps
                default: count = std::min (direct.size(), c.maximumLength + uniformInt (random, 0, 3 * blockSize)); break;
            }

            convolver.restartFromHistory (direct.last (count), count);
            ++result.restarts;
            phase = 0;
            pendingOffsets.clear();
        }

        switch (c.switches)
        {
            case Switches::none:
                break;

            case Switches::everyKernelLength:
                if (++sinceSwitch >= static_cast<int> (direct.kernel.size()))
                {
                    install (drawLength());
                    sinceSwitch = 0;
                }
                break;

            case Switches::anywhere:
                if (phase == 0 && --nextBlockWithSwitches < 0)
                {
                    pendingOffsets = switchOffsets (random, blockSize);
                    std::sort (pendingOffsets.begin(), pendingOffsets.end());
                    nextBlockWithSwitches = uniformInt (random, 0, 8);
                }

                while (! pendingOffsets.empty() && pendingOffsets.front() == phase)
                {
                    install (drawLength());
                    pendingOffsets.erase (pendingOffsets.begin());
                }
                break;
        }

        const double x = source.next();
        direct.push (x);
        const double y = convolver.process (x);
        const double expected = direct.output();

        const double error = std::abs (y - expected);
        result.worstError = std::max (result.worstError, error);

        // Quiet passages after loud ones keep their precision: errors come only from inputs that
        // are still in reach, never from an accumulation over the run.
        const double recentPeak = direct.recentPeak();
        result.worstRecentError = std::max (result.worstRecentError, recentPeak > 0.0 ? error / recentPeak : (error > 0.0 ? 1.0 : 0.0));

        if (++phase == blockSize)
            phase = 0;
    }

    for (const double x : direct.history)
        result.inputPeak = std::max (result.inputPeak, std::abs (x));

    result.worstError = result.inputPeak > 0.0 ? result.worstError / result.inputPeak
                                                : (result.worstError > 0.0 ? 1.0 : 0.0);
    return result;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> table {
        // name                        max   B   lengths              shape                     input                switches                       restarts samples
        { "EqualiserAt48k",            769,  0,  { 769 },             KernelShape::linearPhase, InputKind::noise,    Switches::everyKernelLength,   0,       40000 },
        { "EqualiserAt96k",            1537, 0,  { 1537 },            KernelShape::linearPhase, InputKind::mixed,    Switches::everyKernelLength,   3,       40000 },
        { "EqualiserAt192k",           3073, 0,  { 3073 },            KernelShape::linearPhase, InputKind::mixed,    Switches::everyKernelLength,   3,       40000 },
        { "LongRun",                   769,  0,  { 769 },             KernelShape::mixed,       InputKind::mixed,    Switches::everyKernelLength,   20,      400000 },
        { "SteadyNoiseKernel",         3073, 0,  { 3073 },            KernelShape::noise,       InputKind::noise,    Switches::none,                0,       30000 },
        { "SwitchesAnywhere769",       769,  0,  { 769 },             KernelShape::mixed,       InputKind::mixed,    Switches::anywhere,            4,       40000 },
        { "SwitchesAnywhere1537",      1537, 0,  { 1537 },            KernelShape::mixed,       InputKind::noise,    Switches::anywhere,            4,       30000 },
        { "SwitchesAnywhere3073",      3073, 0,  { 3073 },            KernelShape::mixed,       InputKind::mixed,    Switches::anywhere,            4,       30000 },
        { "ImpulsesAndRestarts",       1537, 0,  { 1537 },            KernelShape::noise,       InputKind::impulses, Switches::anywhere,            8,       30000 },
        { "Silence",                   769,  0,  { 769 },             KernelShape::mixed,       InputKind::silence,  Switches::anywhere,            4,       10000 },
        { "LengthsChange769",          769,  0,  { 1, 63, 64, 65, 500, 769 }, KernelShape::mixed, InputKind::mixed, Switches::anywhere, 6,       40000 },
        { "LengthsChange3073",         3073, 0,  { 1, 127, 128, 129, 769, 1537, 3073 }, KernelShape::mixed, InputKind::mixed, Switches::anywhere, 6, 40000 },
        { "SingleTap",                 1,    0,  { 1 },               KernelShape::noise,       InputKind::noise,    Switches::anywhere,            3,       5000 },
        { "ShorterThanABlock",         31,   32, { 31 },              KernelShape::mixed,       InputKind::noise,    Switches::anywhere,            3,       5000 },
        { "ExactlyABlock",             32,   32, { 32 },              KernelShape::mixed,       InputKind::noise,    Switches::anywhere,            3,       5000 },
        { "OneTapMoreThanABlock",      33,   32, { 33 },              KernelShape::mixed,       InputKind::noise,    Switches::anywhere,            3,       5000 },
        { "SmallLengthsBlock8",        40,   8,  { 1, 7, 8, 9, 17, 40 }, KernelShape::mixed,    InputKind::mixed,    Switches::anywhere,            6,       8000 },
        { "Block16",                   769,  16, { 769 },             KernelShape::mixed,       InputKind::mixed,    Switches::anywhere,            3,       20000 },
        { "Block64",                   3073, 64, { 3073, 2000 },     KernelShape::mixed,       InputKind::mixed,    Switches::anywhere,            3,       30000 },
        { "Block256",                  1537, 256, { 1537, 100 },      KernelShape::mixed,       InputKind::noise,    Switches::anywhere,            3,       20000 },
        { "BlockRoundedUpToPowerOfTwo", 500, 40, { 500 },             KernelShape::noise,       InputKind::noise,    Switches::anywhere,            2,       10000 },
    };

    return table;
}

class PartitionedConvolverMatchesTheDirectSum : public testing::TestWithParam<Case>
{
};

std::string caseName (const testing::TestParamInfo<Case>& info) { return info.param.name; }

// Failures name the case rather than dumping its bytes.
void PrintTo (const Case& c, std::ostream* stream) { *stream << c.name; }

} // namespace

TEST_P (PartitionedConvolverMatchesTheDirectSum, OverALongRandomisedRun)
{
    const auto& c = GetParam();
    const auto result = runCase (c, 0x5eed0000u + static_cast<std::uint64_t> (c.maximumLength) * 131u + static_cast<std::uint64_t> (c.samples));

    std::cout << "  " << c.name << ": worst error " << result.worstError << " of the input's peak, "
              << result.worstRecentError << " of the recent peak; " << result.kernelSwitches << " kernels, "
              << result.restarts << " restarts\n";

    EXPECT_LE (result.worstError, tolerance);
    EXPECT_LE (result.worstRecentError, tolerance);

    if (c.switches != Switches::none)
    {
        EXPECT_GT (result.kernelSwitches, 1);
    }

    EXPECT_EQ (result.restarts, c.restarts);
}

INSTANTIATE_TEST_SUITE_P (Cases, PartitionedConvolverMatchesTheDirectSum, testing::ValuesIn (cases()), caseName);

TEST (PartitionedConvolver, ChoosesAPowerOfTwoBlockThatGrowsWithTheKernel)
{
    int previous = 0;

    for (const int length : { 1, 100, 769, 1537, 3073, 6145, 20000 })
    {
        const int b = PartitionedConvolver::chooseBlockSize (length);
        EXPECT_GE (b, 8) << length;
        EXPECT_EQ (b & (b - 1), 0) << length;
        EXPECT_GE (b, previous) << length;
        previous = b;
    }

    PartitionedConvolver convolver;
    convolver.prepare (769, 40);
    EXPECT_EQ (convolver.getBlockSize(), 64);
    convolver.prepare (769, 3);
    EXPECT_EQ (convolver.getBlockSize(), 8);
}

TEST (PartitionedConvolver, StartsSilentAndClampsTheKernelLength)
{
    PartitionedConvolver convolver;
    convolver.prepare (100, 16);
    EXPECT_EQ (convolver.getKernelLength(), 0);
    EXPECT_EQ (convolver.process (1.0), 0.0);

    std::vector<double> kernel (200, 0.5);
    convolver.setKernel (kernel.data(), 200);
    EXPECT_EQ (convolver.getKernelLength(), 100);
    convolver.setKernel (kernel.data(), -5);
    EXPECT_EQ (convolver.getKernelLength(), 0);
    EXPECT_EQ (convolver.process (1.0), 0.0);
}

TEST (PartitionedConvolver, ANewKernelTakesOverAtExactlyTheNextOutput)
{
    // Switch from one kernel to another before the first, second, middle and last sample of a
    // block, and twice before one sample: every output before the switch is the old kernel's
    // direct sum, every output from it on the new one's, over the same history.
    constexpr int length = 1537;
    Random random (13);
    const auto before = makeKernel (random, length, KernelShape::linearPhase);
    const auto after = makeKernel (random, length, KernelShape::noise);
    const auto unused = makeKernel (random, length, KernelShape::noise);

    PartitionedConvolver probe;
    probe.prepare (length);
    const int b = probe.getBlockSize();

    for (const int offset : { 0, 1, b / 2, b - 1 })
    {
        for (const bool twice : { false, true })
        {
            PartitionedConvolver convolver;
            convolver.prepare (length);
            convolver.setKernel (before.data(), length);
            DirectConvolver direct (length, length);
            direct.setKernel (before);
            const int switchAt = 20 * b + offset;

            for (int n = 0; n < switchAt + 3 * length; ++n)
            {
                if (n == switchAt)
                {
                    if (twice)
                        convolver.setKernel (unused.data(), length);

                    convolver.setKernel (after.data(), length);
                    direct.setKernel (after);
                }

                const double x = uniform (random, -1.0, 1.0);
                direct.push (x);
                ASSERT_NEAR (convolver.process (x), direct.output(), tolerance)
                    << "offset " << offset << (twice ? ", twice" : "") << ", sample " << n - switchAt << " after the switch";
            }
        }
    }
}

TEST (PartitionedConvolver, ResetForgetsTheHistoryButKeepsTheKernel)
{
    Random random (7);
    PartitionedConvolver convolver;
    convolver.prepare (769);
    const auto kernel = makeKernel (random, 769, KernelShape::noise);
    convolver.setKernel (kernel.data(), 769);

    for (int i = 0; i < 1000; ++i)
        convolver.process (uniform (random, -1.0, 1.0));

    convolver.reset();

    // After a reset the output is the kernel itself, as for a fresh convolver fed an impulse.
    for (int i = 0; i < 1000; ++i)
    {
        const double y = convolver.process (i == 0 ? 1.0 : 0.0);
        ASSERT_NEAR (y, i < 769 ? kernel[static_cast<size_t> (i)] : 0.0, 1e-13) << i;
    }
}

TEST (PartitionedConvolver, RestartCountsInputsBeforeTheGivenOnesAsZeros)
{
    Random random (11);

    for (const int count : { 0, 1, 5, 100, 767 })
    {
        PartitionedConvolver convolver;
        convolver.prepare (769);
        const auto kernel = makeKernel (random, 769, KernelShape::mixed);
        convolver.setKernel (kernel.data(), 769);

        for (int i = 0; i < 2000; ++i)
            convolver.process (uniform (random, -1.0, 1.0)); // history that the restart must drop

        DirectConvolver direct (769, 769);
        direct.setKernel (kernel);

        for (int i = 0; i < count; ++i)
            direct.push (uniform (random, -1.0, 1.0));

        convolver.restartFromHistory (direct.last (count), count);

        for (int i = 0; i < 1600; ++i)
        {
            const double x = uniform (random, -1.0, 1.0);
            direct.push (x);
            ASSERT_NEAR (convolver.process (x), direct.output(), tolerance) << "count " << count << ", sample " << i;
        }
    }
}

TEST (PartitionedConvolver, RendersTheSameBytesTwice)
{
    std::vector<double> first, second;

    for (auto* outputs : { &first, &second })
    {
        Random random (3);
        PartitionedConvolver convolver;
        convolver.prepare (1537);

        for (int n = 0; n < 20000; ++n)
        {
            if (n % 1537 == 400)
            {
                const auto kernel = makeKernel (random, 1537, KernelShape::mixed);
                convolver.setKernel (kernel.data(), 1537);
            }

            outputs->push_back (convolver.process (uniform (random, -1.0, 1.0)));
        }
    }

    EXPECT_TRUE (first == second);
}

TEST (PartitionedConvolver, AudioThreadCallsDoNotAllocate)
{
    for (const int length : { 33, 769, 3073 })
    {
        Random random (5);
        PartitionedConvolver convolver;
        convolver.prepare (length);
        const auto kernel = makeKernel (random, length, KernelShape::mixed);
        const auto shorter = makeKernel (random, length / 2 + 1, KernelShape::noise);
        std::vector<double> inputs (static_cast<size_t> (4 * length + 1000));

        for (auto& x : inputs)
            x = uniform (random, -1.0, 1.0);

        double sum = 0.0;
        int allocations = 0;

        {
            const KelvaneTest::ScopedAllocationCounter counter;
            convolver.setKernel (kernel.data(), length);

            for (size_t i = 0; i < inputs.size(); ++i)
            {
                if (i % 777 == 3)
                    convolver.setKernel (i % 2 == 0 ? kernel.data() : shorter.data(), i % 2 == 0 ? length : length / 2 + 1);

                if (i % 1999 == 10)
                    convolver.restartFromHistory (inputs.data(), static_cast<int> (i));

                sum += convolver.process (inputs[i]);
            }

            convolver.reset();
            sum += convolver.process (1.0);
            allocations = counter.count();
        }

        EXPECT_EQ (allocations, 0) << "length " << length;
        EXPECT_TRUE (std::isfinite (sum));
    }
}
