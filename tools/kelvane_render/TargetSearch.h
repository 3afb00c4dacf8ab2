#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace KelvaneRender
{
/** What a pass tells the search. */
struct ChainMeasurement
{
    double loudnessLufs = 0.0;
    double truePeakDb = 0.0;
};

/** The targets for one file and where the search starts. */
struct TargetRequest
{
    std::optional<double> loudnessLufs;  ///< --target-lufs
    std::optional<double> maxTruePeakDb; ///< --max-true-peak
    double startDriveDb = 0.0;           ///< the settings' limiter drive
    double startCeilingDb = 0.0;         ///< the settings' limiter ceiling, never raised
};

/** Where the search ended: the drive and ceiling whose pass gives the output. */
struct TargetOutcome
{
    double driveDb = 0.0;
    double ceilingDb = 0.0;
    ChainMeasurement measured;
    bool loudnessMet = true;
    bool truePeakMet = true;
    int passes = 0;
};

/** Finds the limiter drive ("LGain") and ceiling ("LCeil") that meet a loudness target, a
    true-peak limit or both, by repeated passes over the file.

    The search rests on one property of the limiter: scaling its drive and its ceiling by the
    same factor scales its output by that factor and changes nothing else. So the output's
    loudness and true peak are the ceiling plus functions of one variable, the drive over the
    ceiling g = drive − ceiling (in dB): L = c + Φ(g) and TP = c + Ψ(g). Φ rises with g, never
    faster than 1 LU per dB (below the ceiling the drive is plain gain, above it the limiter
    takes some of it away), and so does Ψ. Every pass, at whatever ceiling, measures Φ and Ψ at
    its g exactly; the search keeps these points, interpolates between them (beyond them the
    loudness follows the nearest secant, or the steepest possible slope while there is one
    point, and the true peak rises to the ceiling and stays there), solves this model for the
    next drive and ceiling, and renders there, until the targets are met:

    - loudness: the ceiling stays; the drive gives c + Φ(g) = target within ±0.05 LU.
    - true peak: the drive stays; the ceiling comes down until the true peak lies at most
      0.1 dB under the limit, so the ceiling is lowered no further than needed.
    - both: for every g the highest allowed ceiling is c(g) = min (start, limit − Ψ(g)), and
      c(g) + Φ(g) rises with g; the search finds the g where it equals the target.

    When a target lies beyond the drive's range (0..48 dB) or the ceiling's (down to −30 dB),
    the search stops at the end of the range, and the outcome says which target was missed.
*/
class TargetSearch
{
public:
    using Evaluate = std::function<ChainMeasurement (double driveDb, double ceilingDb)>;

    static constexpr double loudnessTolerance = 0.1; ///< LU either side that count as on target
    static constexpr double loudnessAim = 0.05;      ///< LU: the search stops this close
    static constexpr double truePeakWindow = 0.1;    ///< dB under the limit that is close enough
    static constexpr double truePeakAim = 0.03;      ///< dB under the limit the search aims at
    static constexpr double maxDriveDb = 48.0;
    static constexpr double minCeilingDb = -30.0;
    static constexpr int maxPasses = 20;

    /** Searches with `evaluate` rendering one pass at a drive and ceiling (in dB). */
    TargetSearch (TargetRequest request, Evaluate evaluate);

    /** Runs the search; the outcome's drive and ceiling are ones evaluate was called with. */
    [[nodiscard]] TargetOutcome run();

private:
    struct Trial
    {
        double driveDb;
        double ceilingDb;
        ChainMeasurement measured;
    };

    /** Φ and Ψ at one drive over ceiling g. */
    struct Sample
    {
        double g, loudness, truePeak;
    };

    void evaluateAt (double driveDb, double ceilingDb);
    [[nodiscard]] bool isDone (const Trial& trial) const;
    [[nodiscard]] bool meetsLoudness (const Trial& trial) const;
    [[nodiscard]] bool meetsTruePeak (const Trial& trial) const;
    [[nodiscard]] double modelLoudness (double g) const;
    [[nodiscard]] double modelTruePeak (double g) const;
    [[nodiscard]] double highestCeilingFor (double g) const;
    [[nodiscard]] std::pair<double, double> nextSetting() const;
    [[nodiscard]] const Trial& bestTrial() const;

    TargetRequest request;
    Evaluate evaluate;
    std::vector<Trial> trials;
    std::vector<Sample> samples; ///< sorted by g
};

} // namespace KelvaneRender
