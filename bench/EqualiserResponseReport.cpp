// How closely the linear-phase FIR mode follows the IIR mode for the factory programs'
// equaliser settings: the running equaliser's magnitude response is measured from its impulse
// response in both modes, and the largest difference is printed per frequency range. A short
// kernel cannot follow a steep low shelf at the lower rates; this shows by how much.
//
//   kelvane_equaliser_response

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvanePrograms.h"
#include "plugin/KelvaneProcessor.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

namespace
{
constexpr double pi = 3.14159265358979323846;

/** The impulse response of one equaliser channel with a program's settings, in one mode. */
std::vector<double> equaliserResponse (const OSK::KelvaneProgram& program, double rate, bool fir, int channel)
{
    OSK::KelvaneProcessor processor;
    auto& engine = processor.getEngine();
    engine.prepareToPlay (rate, 512, 2, 2);

    // The equaliser's rows; the switches are stored normalised, which for two choices is the index.
    for (int index = OSK::LrMs; index <= OSK::SideSolo; ++index)
        engine.parameterChanged (index, program.values[static_cast<size_t> (index)]);

    engine.parameterChanged (OSK::EqMode, fir ? 1.0f : 0.0f);
    engine.currentValues = engine.targetValues; // no glide: the settled response

    const int length = 1537 + 6 * engine.firLength;
    std::vector<double> response;
    double in[2] {}, out[2] {};

    for (int n = -4 * engine.firLength; n < length; ++n)
    {
        engine.processFIRUpdate();
        in[channel] = n == 0 ? 1.0 : 0.0;
        engine.processEQ (in, out);

        if (n >= 0)
            response.push_back (out[channel]);
    }

    return response;
}

double decibelsAt (const std::vector<double>& h, double frequency, double rate)
{
    std::complex<double> sum;

    for (size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar (1.0, -2.0 * pi * frequency * static_cast<double> (n) / rate);

    return 20.0 * std::log10 (std::abs (sum));
}
} // namespace

int main()
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    std::printf ("Largest |IIR - FIR| magnitude difference in dB, both equaliser channels\n\n");
    std::printf ("| Program | Rate | below 200 Hz | 200 Hz to 2 kHz | 2 kHz to 0.45 fs |\n");
    std::printf ("|---|---|---|---|---|\n");

    for (const auto& program : OSK::kelvaneFactoryPrograms)
        for (const double rate : { 44100.0, 96000.0, 192000.0 })
        {
            double largest[3] {};

            for (int channel = 0; channel < 2; ++channel)
            {
                const auto iir = equaliserResponse (program, rate, false, channel);
                const auto fir = equaliserResponse (program, rate, true, channel);

                for (int i = 0; i < 300; ++i)
                {
                    const double f = 20.0 * std::pow (0.45 * rate / 20.0, i / 299.0);
                    const int range = f < 200.0 ? 0 : (f < 2000.0 ? 1 : 2);
                    const double difference = std::abs (decibelsAt (iir, f, rate) - decibelsAt (fir, f, rate));
                    largest[range] = std::max (largest[range], difference);
                }
            }

            std::printf ("| %s | %.1f kHz | %.3f | %.4f | %.4f |\n", program.name, rate / 1000.0, largest[0], largest[1], largest[2]);
        }

    return 0;
}
