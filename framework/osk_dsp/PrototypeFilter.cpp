#include "osk_dsp/PrototypeFilter.h"

#include <algorithm>
#include <cmath>

namespace OSK
{
namespace DSP
{

namespace
{

constexpr double pi = 3.14159265358979323846;

/** An unnormalised section, as each design produces it; a0 is divided out only when it is stored. */
struct Section
{
    double b0, b1, b2, a0, a1, a2;
};

inline double square (double x) noexcept { return x * x; }

//==============================================================================
/** Classic bilinear sections. Writing them with the sine and cosine of the digital angle
    pre-warps them, so the design frequency lands exactly where it was asked for.
*/
Section designBilinear (PrototypeFilterType type, double sampleRate, double frequency,
                        double q, double gain) noexcept
{
    // Just below Nyquist: at Nyquist itself the first-order rows degenerate (1 + cos w = 0).
    const double w = 2.0 * pi * std::min (frequency, 0.995 * sampleRate / 2.0) / sampleRate;
    const double s = std::sin (w);
    const double c = std::cos (w);
    const double alpha = s / (2.0 * q);

    switch (type)
    {
        case HighPass1:
            return { gain * (1.0 + c), -gain * (1.0 + c), 0.0, 1.0 + s + c, s - 1.0 - c, 0.0 };

        case LowShelf1:
            return { gain * s + 1.0 + c, gain * s - 1.0 - c, 0.0, 1.0 + s + c, s - 1.0 - c, 0.0 };

        case HighShelf1:
            return { s + gain * (1.0 + c), s - gain * (1.0 + c), 0.0, 1.0 + s + c, s - 1.0 - c, 0.0 };

        case AllPass1:
            return { gain * (s - 1.0 - c), gain * (1.0 + s + c), 0.0, 1.0 + s + c, s - 1.0 - c, 0.0 };

        case BandPass:
            return { gain * alpha, 0.0, -gain * alpha, 1.0 + alpha, -2.0 * c, 1.0 - alpha };

        case Notch:
            return { gain, -2.0 * gain * c, gain, 1.0 + alpha, -2.0 * c, 1.0 - alpha };

        case AllPass2:
            return { gain * (1.0 - alpha), -2.0 * gain * c, gain * (1.0 + alpha), 1.0 + alpha, -2.0 * c, 1.0 - alpha };

        case LowShelf2:
        {
            // A is the square root of the linear DC gain, so the shelf is at half its decibel gain at f.
            const double a = std::sqrt (gain);
            const double k = 2.0 * std::sqrt (a) * alpha;

            return { a * ((a + 1.0) - (a - 1.0) * c + k),
                     2.0 * a * ((a - 1.0) - (a + 1.0) * c),
                     a * ((a + 1.0) - (a - 1.0) * c - k),
                     (a + 1.0) + (a - 1.0) * c + k,
                     -2.0 * ((a - 1.0) + (a + 1.0) * c),
                     (a + 1.0) + (a - 1.0) * c - k };
        }

        // The matched types never come here; everything else, including values outside the
        // enumeration, is a plain gain.
        case Gain:
        case LowPass1:
        case LowPass2:
        case HighPass2:
        case HighShelf2:
        case Peak:
        default:
            return { gain, 0.0, 0.0, 1.0, 0.0, 0.0 };
    }
}

//==============================================================================
/** First-order low-pass with DC gain g whose Nyquist gain is the analog prototype's,
    instead of the forced zero at Nyquist that the bilinear transform would give.
*/
Section designMatchedLowPass1 (double sampleRate, double frequency, double gain) noexcept
{
    const double w = 2.0 * pi * frequency;

    // Analog magnitude at Nyquist, kept below 1 so that the square roots below stay real.
    const double p = std::min (2.0 / std::sqrt (square (sampleRate / frequency) + 4.0), 0.999999);

    // The level matched below Nyquist, and the pre-warped frequency at which the analog
    // prototype reaches it.
    const double m = std::max (std::sqrt (p), 0.7071067811865476);
    const double t = std::tan (w * std::sqrt (1.0 - m * m) / m / (2.0 * sampleRate));
    const double beta = t * std::sqrt ((m * m - p * p) * (1.0 - m * m)) / (1.0 - m * m);

    return { gain * (beta + p), gain * (beta - p), 0.0, 1.0 + beta, beta - 1.0, 0.0 };
}

//==============================================================================
/** Squared magnitude of the analog second-order low-pass with corner w and quality q at omega. */
double lowPass2MagnitudeSquared (double omega, double w, double q) noexcept
{
    return 1.0 / (square (1.0 - square (omega / w)) + square (omega / (q * w)));
}

/** Second-order low-pass matched to the analog prototype at DC, at Nyquist and at its peak
    (or, without resonance, at the level it has at Nyquist).
*/
Section designMatchedLowPass2 (double sampleRate, double frequency, double q, double gain) noexcept
{
    const double w = 2.0 * pi * frequency;

    double mN = 2.0 / std::sqrt (square (sampleRate / (frequency * q))
                                 + square (2.0 - square (0.7071067811865476 * sampleRate / frequency)));

    // A Nyquist gain of exactly 1 would divide by zero below.
    if (std::abs (mN - 1.0) < 0.000001)
        mN = mN < 1.0 ? 0.999999 : 1.000001;

    double x;

    if (q > 0.7071077811865476)
    {
        // Resonant: match the peak, whose frequency is kept just below Nyquist.
        const double wp = std::min (w * std::sqrt (1.0 - 1.0 / (2.0 * q * q)), 3.1258846903218442 * sampleRate);
        const double mP = std::max (std::sqrt (lowPass2MagnitudeSquared (wp, w, q)), 1.000001 * mN);
        const double t = std::clamp (std::abs (std::tan (wp / (2.0 * sampleRate))), 0.000001, 1000000.0);

        x = t * std::pow ((mP * mP - mN * mN) / (mP * mP - 1.0), 0.25);
    }
    else
    {
        // Not resonant: match where the analog squared magnitude falls to mN.
        const double omegaM = w * std::sqrt (((2.0 - 1.0 / (q * q))
                                              + std::sqrt ((1.0 - 4.0 * q * q) / (q * q * q * q) + 4.0 / mN)) / 2.0);

        x = std::min (std::tan (omegaM / (2.0 * sampleRate)),
                      std::pow (1.0 - mN * mN, 0.25) * w / (2.0 * sampleRate));
    }

    const double r = std::sqrt (mN);
    const double theta1 = std::atan (x);
    const double theta2 = std::atan (x / r);
    const double omega1 = 2.0 * sampleRate * theta1;
    const double omega2 = 2.0 * sampleRate * theta2;

    const double p1 = lowPass2MagnitudeSquared (omega1, w, q);
    const double p2 = lowPass2MagnitudeSquared (omega2, w, q);

    const double u = std::sqrt ((p1 - p2) * mN / (square (mN - 1.0) * (mN + p2)));
    const double v = std::sqrt ((p1 - p2) * mN * mN / (square (mN - 1.0) * (mN + p1) * p2));

    return { gain * u * (v * mN + v * x * x + r * x),
             2.0 * gain * u * v * (x * x - mN),
             gain * u * (v * mN + v * x * x - r * x),
             v * (u * x * x + x + u),
             2.0 * v * u * (x * x - 1.0),
             v * (u * x * x - x + u) };
}

//==============================================================================
/** Second-order high-pass matched to the analog prototype at two frequencies: the corner
    (kept below 0.425 fs) and the number sqrt(Wc) taken as a frequency in rad/s, deep in the stop band.
*/
Section designTwoPointHighPass2 (double sampleRate, double frequency, double q, double gain) noexcept
{
    const double w = 2.0 * pi * frequency;
    const double wc = std::min (w, 0.85 * pi * sampleRate);
    const double ws = std::sqrt (wc);

    const double m1 = 1.0 / std::sqrt (square (w / (q * wc)) + square (1.0 - square (w / wc)));
    const double m2 = 1.0 / std::sqrt (square (w / (q * ws)) + square (1.0 - square (w / ws)));

    const double t1 = std::tan (wc / (2.0 * sampleRate));
    const double t2 = std::tan (ws / (2.0 * sampleRate));

    const double beta = std::sqrt (std::max (square ((m1 / m2) * t2) - t1 * t1, 0.000001)) * t2 / (t1 * t1 - t2 * t2);
    const double k = m1 * gain / beta;

    return { k, -2.0 * k, k,
             t1 * t1 + t1 / beta + 1.0,
             2.0 * (t1 * t1 - 1.0),
             t1 * t1 - t1 / beta + 1.0 };
}

//==============================================================================
/** Magnitude of the analog second-order high shelf (DC gain 1, high-frequency gain g). */
double highShelfMagnitude (double omega, double w, double q, double gain) noexcept
{
    const double ratioSquared = square (omega / w);
    const double damping = square (omega / (q * w));

    return std::sqrt ((square (1.0 - gain * ratioSquared) + gain * damping)
                      / (square (1.0 - ratioSquared) + damping));
}

/** Second-order high shelf matched to the analog prototype at DC, at Nyquist, at the
    corner and at the zero frequency. The pole and zero qualities are found by a fixed
    number of rounds so that the cost is bounded and the result reproducible.
*/
Section designMatchedHighShelf (double sampleRate, double frequency, double q, double gain) noexcept
{
    const double w = 2.0 * pi * frequency;
    const double wc = std::min (w, 0.7 * pi * sampleRate);
    const double mN = highShelfMagnitude (pi * sampleRate, w, q, gain);

    const double t = std::tan (wc / (2.0 * sampleRate));
    const double tz = t / std::sqrt (mN);

    const double m1 = highShelfMagnitude (2.0 * sampleRate * std::atan (t), w, q, gain);
    const double m2 = highShelfMagnitude (2.0 * sampleRate * std::atan (tz), w, q, gain);

    double y = 0.0;
    double z = q * q;

    for (int round = 0; round < 9; ++round)
    {
        y = m1 * m1 / (mN / z + square (mN - 1.0));
        z = square (1.0 / m2) / ((1.0 / mN) / y + square (1.0 / mN - 1.0));
    }

    const double poleQ = std::sqrt (y);
    const double zeroQ = std::sqrt (z);

    return { mN * (1.0 + tz / zeroQ + t * t / mN),
             2.0 * mN * (t * t / mN - 1.0),
             mN * (t * t / mN - tz / zeroQ + 1.0),
             t * t + t / poleQ + 1.0,
             2.0 * (t * t - 1.0),
             t * t - t / poleQ + 1.0 };
}

//==============================================================================
/** Magnitude of the analog bell with centre w, quality q and boost g at omega. */
double bellMagnitude (double omega, double w, double q, double boost) noexcept
{
    const double detuning = q * q * square (w * w - omega * omega);
    const double band = w * w * omega * omega;

    return std::sqrt ((detuning + boost * boost * band) / (detuning + band));
}

/** Bell matched to the analog prototype at DC, at the centre, at the lower band edge and
    at Nyquist, so that it does not cramp towards Nyquist. A cut is designed as the boost
    by 1/g with numerator and denominator exchanged, so the two are exact reciprocals.
*/
Section designMatchedBell (double sampleRate, double frequency, double q, double gain) noexcept
{
    const bool isCut = gain < 1.0;
    const double boost = std::max (isCut ? 1.0 / gain : gain, 1.000001); // a boost of exactly 1 divides by zero below

    const double w = 2.0 * pi * frequency;
    const double wc = std::min (w, 3.1384510609362035 * sampleRate);
    const double t = std::tan (wc / (2.0 * sampleRate));

    const double mc = bellMagnitude (wc, w, q, boost);

    // The band edge sits at half the centre gain in decibels.
    const double edge = std::sqrt (mc);
    const double edgeSquared = edge * edge;

    const double qq = q * q;
    const double boostSquared = boost * boost;
    const double xe = 2.0 * edgeSquared * qq + boostSquared - edgeSquared - 2.0 * qq;
    const double re = std::sqrt ((boostSquared - edgeSquared) * (4.0 * edgeSquared * qq - edgeSquared - 4.0 * qq + boostSquared));
    const double tb = std::tan (w * std::sqrt (2.0 * (xe - re) / (edgeSquared - 1.0)) / (2.0 * q) / (2.0 * sampleRate));

    // Kept just below the centre gain, so that the square roots below stay real.
    const double mN = std::min (bellMagnitude (pi * sampleRate, w, q, boost), 1.0 + 0.999999 * (mc - 1.0));

    const double mcSquared = mc * mc;
    const double p = t * t * std::sqrt ((mcSquared - mN * mN) / (mcSquared - 1.0));
    const double e = 2.0 * p * ((mcSquared - mN) - std::sqrt ((mcSquared - 1.0) * (mcSquared - mN * mN)));

    const double tbSquared = tb * tb;
    const double a = std::sqrt ((e * tbSquared + edgeSquared * square (tbSquared - p) - square (mN * tbSquared - p))
                                / ((mcSquared - edgeSquared) * tbSquared));
    const double c = std::sqrt (a * a * mcSquared - e);

    const double n0 = mN + p + c, n1 = -2.0 * (mN - p), n2 = mN + p - c;
    const double d0 = 1.0 + p + a, d1 = -2.0 * (1.0 - p), d2 = 1.0 + p - a;

    if (isCut)
        return { d0, d1, d2, n0, n1, n2 };

    return { n0, n1, n2, d0, d1, d2 };
}

//==============================================================================
void store (double* coefficients, const Section& section) noexcept
{
    coefficients[0] = section.b0 / section.a0;
    coefficients[1] = section.b1 / section.a0;
    coefficients[2] = section.a1 / section.a0;
    coefficients[3] = section.b2 / section.a0;
    coefficients[4] = section.a2 / section.a0;
}

} // namespace

//==============================================================================
void prewarped (double* coefficients, PrototypeFilterType type, double sampleRate,
                double frequency, double q, double gain) noexcept
{
    switch (type)
    {
        case LowPass1:   store (coefficients, designMatchedLowPass1 (sampleRate, frequency, gain)); return;
        case LowPass2:   store (coefficients, designMatchedLowPass2 (sampleRate, frequency, q, gain)); return;
        case HighPass2:  store (coefficients, designTwoPointHighPass2 (sampleRate, frequency, q, gain)); return;
        case HighShelf2: store (coefficients, designMatchedHighShelf (sampleRate, frequency, q, gain)); return;
        case Peak:       store (coefficients, designMatchedBell (sampleRate, frequency, q, gain)); return;

        case Gain:
        case HighPass1:
        case LowShelf1:
        case HighShelf1:
        case AllPass1:
        case BandPass:
        case Notch:
        case AllPass2:
        case LowShelf2:
        default:
            store (coefficients, designBilinear (type, sampleRate, frequency, q, gain));
            return;
    }
}

} // namespace DSP
} // namespace OSK
