#include "TargetSearch.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace KelvaneRender;

namespace
{
/** A limiter-like chain in closed form: the loudness and true peak are the ceiling plus
    functions of the drive over the ceiling g, which rise 1 dB per dB while the signal stays
    under the ceiling and flatten once it is limited; the true peak overshoots the ceiling a
    little more the harder the limiter works. */
struct ModelChain
{
    double peakBelowCeiling = -6.0; ///< the signal's true peak at g = 0
    double crest = 12.0;            ///< true peak minus loudness while unlimited
    int passes = 0;

    ChainMeasurement operator() (double driveDb, double ceilingDb)
    {
        ++passes;
        const auto g = driveDb - ceilingDb;
        const auto over = g + peakBelowCeiling; // dB the unlimited peak would pass the ceiling by
        const auto soft = 4.0 * std::log1p (std::exp (over / 4.0)); // ≈ max (0, over)
        const auto loudness = peakBelowCeiling - crest + g - 0.8 * soft;
        const auto truePeak = over - soft + 1.5 * (1.0 - std::exp (-soft / 6.0));
        return { ceilingDb + loudness, ceilingDb + truePeak };
    }
};

TargetOutcome search (ModelChain& chain, std::optional<double> lufs, std::optional<double> peak, double drive, double ceiling)
{
    TargetRequest request;
    request.loudnessLufs = lufs;
    request.maxTruePeakDb = peak;
    request.startDriveDb = drive;
    request.startCeilingDb = ceiling;
    return TargetSearch (request, [&chain] (double d, double c) { return chain (d, c); }).run();
}
} // namespace

TEST (TargetSearch, ReachesLoudnessTargetsFromBelowAndAbove)
{
    for (const auto target : { -18.0, -16.0, -14.0, -11.0, -9.0 })
        for (const auto startDrive : { 0.0, 10.0, 30.0 })
        {
            ModelChain chain;
            const auto outcome = search (chain, target, std::nullopt, startDrive, 0.0);

            EXPECT_TRUE (outcome.loudnessMet) << target << " from " << startDrive;
            EXPECT_NEAR (outcome.measured.loudnessLufs, target, TargetSearch::loudnessAim) << target << " from " << startDrive;
            EXPECT_EQ (outcome.ceilingDb, 0.0);
            EXPECT_LE (outcome.passes, 8) << target << " from " << startDrive;
        }
}

TEST (TargetSearch, SaysWhenTheLoudnessIsOutOfReach)
{
    ModelChain chain;
    const auto tooLoud = search (chain, -40.0, std::nullopt, 10.0, 0.0);

    EXPECT_FALSE (tooLoud.loudnessMet);
    EXPECT_EQ (tooLoud.driveDb, 0.0);

    const auto tooQuiet = search (chain, 0.0, std::nullopt, 10.0, 0.0);

    EXPECT_FALSE (tooQuiet.loudnessMet);
    EXPECT_EQ (tooQuiet.driveDb, TargetSearch::maxDriveDb);
    EXPECT_LE (tooQuiet.passes, 8);
}

TEST (TargetSearch, LowersTheCeilingNoFurtherThanNeeded)
{
    for (const auto limit : { -0.5, -1.0, -2.0, -6.0 })
        for (const auto drive : { 0.0, 8.0, 20.0 })
        {
            ModelChain chain;
            const auto outcome = search (chain, std::nullopt, limit, drive, 0.0);

            EXPECT_TRUE (outcome.truePeakMet) << limit << " at " << drive;
            EXPECT_LE (outcome.measured.truePeakDb, limit);

            // Either the ceiling did not have to move, or the peak sits just under the limit.
            if (outcome.ceilingDb < 0.0)
            {
                EXPECT_GE (outcome.measured.truePeakDb, limit - TargetSearch::truePeakWindow) << limit << " at " << drive;
            }

            EXPECT_EQ (outcome.driveDb, drive);
            EXPECT_LE (outcome.passes, 6) << limit << " at " << drive;
        }
}

TEST (TargetSearch, MeetsBothTargetsTogether)
{
    for (const auto target : { -14.0, -11.0, -9.5 })
    {
        ModelChain chain;
        const auto outcome = search (chain, target, -1.0, 10.0, 0.0);

        EXPECT_TRUE (outcome.loudnessMet && outcome.truePeakMet) << target;
        EXPECT_LE (outcome.measured.truePeakDb, -1.0) << target;
        EXPECT_NEAR (outcome.measured.loudnessLufs, target, TargetSearch::loudnessTolerance) << target;
        EXPECT_LE (outcome.passes, 10) << target;
    }
}

TEST (TargetSearch, ReportsTheLoudnessItCouldNotReachUnderTheLoweredCeiling)
{
    ModelChain chain;
    const auto outcome = search (chain, -2.0, -1.0, 10.0, 0.0);

    EXPECT_TRUE (outcome.truePeakMet);
    EXPECT_FALSE (outcome.loudnessMet);
    EXPECT_LT (outcome.measured.loudnessLufs, -2.0 - TargetSearch::loudnessTolerance);
}
