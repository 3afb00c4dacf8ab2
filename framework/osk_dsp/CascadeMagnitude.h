#pragma once

#include <vector>

namespace OSK::DSP
{
/** The magnitude response of a cascade of five biquad sections on the bins k·fs/M, k = 0..M/2.

    Gives the same values as the magnitudes that biquadCascadeToSpectrum writes (to within a few
    units in the last place), but from real tables of sines and cosines filled once by prepare(),
    so that no trigonometry and no complex division run on the audio thread. Each section keeps
    its own squared magnitude per bin, so changing one band costs one pass over that section plus
    the product of all five, not a whole cascade.

    Sections use the layout of prewarped(): b0, b1, a1, b2, a2 with a0 = 1.

    prepare() allocates: call it on the message thread or during preparation. Everything else is
    allocation-free and trigonometry-free, for the audio thread, with the caller guarding the
    object against concurrent use.
*/
class CascadeMagnitude
{
public:
    static constexpr int numSections = 5;

    /** An unprepared object with no bins; prepare it before anything else. */
    CascadeMagnitude() = default;

    /** Sizes the object for an FFT of fftSize (a power of two, at least 2) at sampleRate, fills its tables
        and makes every section unity; message thread. */
    void prepare (int fftSize, double sampleRate);

    /** Recomputes all numSections sections from coefficients (five doubles each) and then the magnitudes; audio thread. */
    void setCascade (const double* coefficients) noexcept;

    /** Recomputes section (0..numSections − 1) from its five coefficients and then the magnitudes; audio thread. */
    void setSection (int section, const double* sectionCoefficients) noexcept;

    /** The getNumBins() magnitudes |H_k|, k = 0..M/2, as of the last change; any thread that guards this object. */
    [[nodiscard]] const double* getMagnitudes() const noexcept { return magnitudes.data(); }

    /** M/2 + 1, the number of magnitudes; any thread. */
    [[nodiscard]] int getNumBins() const noexcept { return numBins; }

    /** The FFT size M the object was prepared for; any thread. */
    [[nodiscard]] int getFftSize() const noexcept { return fftSize; }

private:
    /** Writes the section's |numerator|² / |denominator|² for every bin into its row of sectionGains. */
    void computeSection (int section, const double* sectionCoefficients) noexcept;

    /** Multiplies the five rows of sectionGains and takes the square root into magnitudes. */
    void computeMagnitudes() noexcept;

    int fftSize = 0;
    int numBins = 0;

    // cos ω_k, sin ω_k, cos 2ω_k and sin 2ω_k, one table each.
    std::vector<double> cos1, sin1, cos2, sin2;

    // numSections rows of numBins squared section magnitudes, section 0 first.
    std::vector<double> sectionGains;

    std::vector<double> magnitudes;
};

} // namespace OSK::DSP
