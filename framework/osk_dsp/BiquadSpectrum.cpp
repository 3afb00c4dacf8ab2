#include "osk_dsp/BiquadSpectrum.h"

#include <cmath>
#include <cstddef>
#include <map>

namespace OSK
{
namespace DSP
{

namespace
{

constexpr double pi = 3.14159265358979323846;

/** Complex response at the digital angle w of a cascade of sections (b0, b1, a1, b2, a2 each, a0 = 1). */
std::complex<double> cascadeResponse (const double* coefficients, int sections, double w) noexcept
{
    const double c1 = std::cos (w), s1 = std::sin (w);
    const double c2 = std::cos (2.0 * w), s2 = std::sin (2.0 * w);

    std::complex<double> h (1.0, 0.0);

    for (int section = 0; section < sections; ++section)
    {
        const double* sc = coefficients + 5 * section;
        const double b0 = sc[0], b1 = sc[1], a1 = sc[2], b2 = sc[3], a2 = sc[4];

        // b0 + b1·e^(-iw) + b2·e^(-2iw) over 1 + a1·e^(-iw) + a2·e^(-2iw)
        const std::complex<double> numerator   (b0 + b1 * c1 + b2 * c2, -(b1 * s1 + b2 * s2));
        const std::complex<double> denominator (1.0 + a1 * c1 + a2 * c2, -(a1 * s1 + a2 * s2));

        // Deliberately the library's complex operators rather than hand-expanded formulas:
        // they recover from intermediate overflow, infinities and NaNs as C99 prescribes.
        h *= numerator / denominator;
    }

    return h;
}

/** The real inverse DFT's sum over the bins below size/2, before the division by size.
    twiddles holds 2·e^(i·2πj/size), so the cosine and sine terms of each bin already count twice.
*/
double idftSum (const std::complex<double>* spectrum, const std::complex<double>* twiddles, int size, int n) noexcept
{
    // Unsigned arithmetic: k·n may wrap, and only its low bits matter for a power-of-two size.
    const auto mask = static_cast<unsigned int> (size - 1);
    const auto un = static_cast<unsigned int> (n);

    double s = spectrum[0].real();

    for (int k = 1; k < size / 2; ++k)
    {
        const auto j = static_cast<std::size_t> ((static_cast<unsigned int> (k) * un) & mask);
        const auto& x = spectrum[k];
        const auto& w = twiddles[j];

        s = s + x.real() * w.real() + x.imag() * w.imag();
    }

    return s;
}

/** Returns the table 2·e^(i·2πj/size), j = 0..size-1, creating it on the first request for that size. */
const std::vector<std::complex<double>>& twiddleTable (int size)
{
    // Entries are never removed, so a table stays valid for the lifetime of the program and
    // later look-ups for the same size allocate nothing.
    static std::map<int, std::vector<std::complex<double>>> dftW;

    auto found = dftW.find (size);

    if (found != dftW.end())
        return found->second;

    std::vector<std::complex<double>> table (static_cast<std::size_t> (size));

    for (int j = 0; j < size; ++j)
        table[static_cast<std::size_t> (j)] = 2.0 * std::exp (std::complex<double> (0.0, 2.0 * pi * double (j) / double (size)));

    return dftW.emplace (size, std::move (table)).first->second;
}

} // namespace

//==============================================================================
void biquadCascadeToSpectrum (const double* coefficients, int sections,
                              std::vector<std::complex<double>>& spectrum,
                              double sampleRate, double delay) noexcept
{
    const auto size = static_cast<int> (spectrum.size());

    for (int k = 0; k < size; ++k)
    {
        const double binFrequency = double (k) * (sampleRate / 2.0) / double (size / 2);
        const double w = 2.0 * pi * binFrequency / sampleRate;

        // Only the magnitude survives; the cascade's own phase is replaced by a pure delay,
        // which is what makes the synthesised kernel linear-phase.
        const auto h = cascadeResponse (coefficients, sections, w);
        const double magnitude = std::hypot (h.real(), h.imag());
        const double phase = w * delay;

        spectrum[static_cast<std::size_t> (k)] = { magnitude * std::cos (phase), magnitude * std::sin (phase) };
    }
}

double idft (const std::vector<std::complex<double>>& spectrum, int n)
{
    const auto size = static_cast<int> (spectrum.size());

    // Nothing to synthesise, and no table is worth keeping for an empty spectrum.
    if (size == 0)
        return 0.0;

    const auto& twiddles = twiddleTable (size);

    return idftSum (spectrum.data(), twiddles.data(), size, n) / double (size);
}

} // namespace DSP
} // namespace OSK
