#include "TargetSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace KelvaneRender
{
namespace
{
    /** How a curve is extended beyond the points measured: along the end segment's slope,
        limited to minSlope..maxSlope, or with `singleSlope` while there is only one point. */
    struct Extension
    {
        double minSlope, maxSlope, singleSlope;
    };

    /** Piecewise-linear interpolation through points sorted by g, extended at both ends. */
    template <typename Sample, typename Field>
    double interpolate (const std::vector<Sample>& points, double g, Field field, Extension below, Extension above)
    {
        const auto& first = points.front();
        const auto& last = points.back();

        if (points.size() == 1)
            return first.*field + (g < first.g ? below.singleSlope : above.singleSlope) * (g - first.g);

        const auto slopeOf = [field] (const Sample& a, const Sample& b, Extension extension)
        {
            const auto slope = (b.*field - a.*field) / (b.g - a.g);
            return std::isfinite (slope) ? std::clamp (slope, extension.minSlope, extension.maxSlope) : extension.maxSlope;
        };

        if (g <= first.g)
            return first.*field + slopeOf (first, points[1], below) * (g - first.g);

        if (g >= last.g)
            return last.*field + slopeOf (points[points.size() - 2], last, above) * (g - last.g);

        const auto upper = std::find_if (points.begin(), points.end(), [g] (const Sample& p) { return p.g >= g; });
        const auto& b = *upper;
        const auto& a = *(upper - 1);
        return a.*field + (g - a.g) / (b.g - a.g) * (b.*field - a.*field);
    }

    /** The x in [lo, hi] where a rising function reaches a value, or the nearer end. */
    template <typename Function>
    double solveRising (Function f, double value, double lo, double hi)
    {
        if (f (lo) >= value)
            return lo;

        if (f (hi) <= value)
            return hi;

        for (int i = 0; i < 100; ++i)
        {
            const auto mid = 0.5 * (lo + hi);
            (f (mid) < value ? lo : hi) = mid;
        }

        return 0.5 * (lo + hi);
    }

    constexpr double sameSettingDb = 1.0e-4;
} // namespace

TargetSearch::TargetSearch (TargetRequest requestToMeet, Evaluate evaluateFunction)
    : request (requestToMeet)
    , evaluate (std::move (evaluateFunction))
{
    request.startDriveDb = std::clamp (request.startDriveDb, 0.0, maxDriveDb);
    request.startCeilingDb = std::clamp (request.startCeilingDb, minCeilingDb, 0.0);
}

void TargetSearch::evaluateAt (double driveDb, double ceilingDb)
{
    const auto measured = evaluate (driveDb, ceilingDb);
    trials.push_back ({ driveDb, ceilingDb, measured });

    // A silent output says nothing about the curves.
    if (! std::isfinite (measured.loudnessLufs) || ! std::isfinite (measured.truePeakDb))
        return;

    const Sample sample { driveDb - ceilingDb, measured.loudnessLufs - ceilingDb, measured.truePeakDb - ceilingDb };
    const auto at = std::lower_bound (samples.begin(), samples.end(), sample.g,
                                      [] (const Sample& s, double g) { return s.g < g; });

    if (at != samples.end() && std::abs (at->g - sample.g) < sameSettingDb)
        *at = sample;
    else
        samples.insert (at, sample);
}

bool TargetSearch::meetsLoudness (const Trial& trial) const
{
    return ! request.loudnessLufs || std::abs (trial.measured.loudnessLufs - *request.loudnessLufs) <= loudnessTolerance;
}

bool TargetSearch::meetsTruePeak (const Trial& trial) const
{
    return ! request.maxTruePeakDb || trial.measured.truePeakDb <= *request.maxTruePeakDb;
}

bool TargetSearch::isDone (const Trial& trial) const
{
    const bool loudnessClose = ! request.loudnessLufs
                            || std::abs (trial.measured.loudnessLufs - *request.loudnessLufs) <= loudnessAim;

    // A ceiling that had to come down should have come down no further than needed.
    const bool ceilingUnchanged = trial.ceilingDb >= request.startCeilingDb - sameSettingDb;
    const bool peakClose = ! request.maxTruePeakDb
                        || (meetsTruePeak (trial)
                            && (ceilingUnchanged || trial.measured.truePeakDb >= *request.maxTruePeakDb - truePeakWindow));

    return loudnessClose && peakClose;
}

double TargetSearch::modelLoudness (double g) const
{
    // Beyond the points the secant continues; with one point the steepest possible slope
    // gives the smallest step that can reach the target.
    return interpolate (samples, g, &Sample::loudness, { 0.05, 1.0, 1.0 }, { 0.0, 1.0, 1.0 });
}

double TargetSearch::modelTruePeak (double g) const
{
    const auto& last = samples.back();

    if (g <= last.g)
        return interpolate (samples, g, &Sample::truePeak, { 0.0, 1.0, 1.0 }, { 0.0, 1.0, 1.0 });

    // More drive over the ceiling raises a peak below the ceiling dB for dB until it reaches
    // the ceiling, which then holds it; a peak already at or above the ceiling is taken to stay
    // where it was last seen. Either way the ceiling is never lowered further than needed.
    return std::max (last.truePeak, std::min (0.0, last.truePeak + (g - last.g)));
}

double TargetSearch::highestCeilingFor (double g) const
{
    auto ceiling = request.startCeilingDb;

    if (request.maxTruePeakDb)
        ceiling = std::min (ceiling, *request.maxTruePeakDb - truePeakAim - modelTruePeak (g));

    return std::clamp (ceiling, minCeilingDb, request.startCeilingDb);
}

std::pair<double, double> TargetSearch::nextSetting() const
{
    if (! request.loudnessLufs)
    {
        // True peak only: the drive stays, the ceiling moves.
        const auto drive = request.startDriveDb;
        const auto peakAt = [this, drive] (double ceiling) { return ceiling + modelTruePeak (drive - ceiling); };
        const auto ceiling = solveRising (peakAt, *request.maxTruePeakDb - truePeakAim, minCeilingDb, request.startCeilingDb);
        return { drive, ceiling };
    }

    // The loudness at the highest allowed ceiling rises with g; find where it meets the target.
    const auto loudnessAt = [this] (double g) { return highestCeilingFor (g) + modelLoudness (g); };
    const auto g = solveRising (loudnessAt, *request.loudnessLufs, -request.startCeilingDb, maxDriveDb - minCeilingDb);
    const auto ceiling = highestCeilingFor (g);
    return { std::clamp (g + ceiling, 0.0, maxDriveDb), ceiling };
}

const TargetSearch::Trial& TargetSearch::bestTrial() const
{
    // Meeting the true-peak limit first, then the loudness, then the closest loudness, then the
    // highest ceiling; of equals the latest, whose file is the one last written.
    const auto rank = [this] (const Trial& t)
    {
        const auto loudnessError = request.loudnessLufs ? std::abs (t.measured.loudnessLufs - *request.loudnessLufs) : 0.0;
        const auto ceilingRank = request.maxTruePeakDb ? -t.ceilingDb : 0.0;
        return std::make_tuple (! meetsTruePeak (t), ! meetsLoudness (t),
                                std::isfinite (loudnessError) ? loudnessError : std::numeric_limits<double>::max(), ceilingRank);
    };

    const Trial* best = &trials.front();

    for (const auto& trial : trials)
        if (! (rank (*best) < rank (trial)))
            best = &trial;

    return *best;
}

TargetOutcome TargetSearch::run()
{
    evaluateAt (request.startDriveDb, request.startCeilingDb);

    while (static_cast<int> (trials.size()) < maxPasses && ! isDone (trials.back()) && ! samples.empty())
    {
        const auto [drive, ceiling] = nextSetting();

        // Nothing new to learn there: the target lies beyond the range, or the search has converged.
        const auto tried = std::any_of (trials.begin(), trials.end(), [drive = drive, ceiling = ceiling] (const Trial& t)
                                        { return std::abs (t.driveDb - drive) < sameSettingDb
                                              && std::abs (t.ceilingDb - ceiling) < sameSettingDb; });

        if (tried)
            break;

        evaluateAt (drive, ceiling);
    }

    const auto& best = bestTrial();

    TargetOutcome outcome;
    outcome.driveDb = best.driveDb;
    outcome.ceilingDb = best.ceilingDb;
    outcome.measured = best.measured;
    outcome.loudnessMet = meetsLoudness (best);
    outcome.truePeakMet = meetsTruePeak (best);
    outcome.passes = static_cast<int> (trials.size());
    return outcome;
}

} // namespace KelvaneRender
