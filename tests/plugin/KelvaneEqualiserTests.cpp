#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneProcessor.h"

#include "helpers/Response.h"
#include "osk_dsp/BiquadSpectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

using OSK::KelvaneDsp;
using namespace KelvaneTest;

namespace
{
/** Drives the equaliser directly: kernel maintenance, then one sample through both channels,
    with the working values held where the test puts them. */
class Equaliser
{
public:
    explicit Equaliser (double rate) : engine (processor.getEngine()), sampleRate (rate)
    {
        engine.prepareToPlay (sampleRate, 512, 2, 2);
    }

    void send (int index, float value) { engine.parameterChanged (index, value); }

    /** Jumps over the 50 ms glide: every working value at its target. */
    void settle() { engine.currentValues = engine.targetValues; }

    void setMode (bool fir)
    {
        send (OSK::EqMode, fir ? 1.0f : 0.0f);
        settle();
    }

    /** Runs samples of silence until no kernel is pending or being synthesised. */
    void installKernels()
    {
        for (int i = 0; i < 4 * engine.firLength; ++i)
        {
            if (! isSynthesising (0) && ! isSynthesising (1))
                return;

            step (0.0, 0.0);
        }
    }

    bool isSynthesising (int c) const { return engine.kernelUpdatePending[static_cast<size_t> (c)] || engine.kernelSynthesising[static_cast<size_t> (c)]; }

    std::array<double, 2> step (double left, double right)
    {
        engine.processFIRUpdate();
        const double in[] = { left, right };
        std::array<double, 2> out {};
        engine.processEQ (in, out.data());
        return out;
    }

    /** The response of one channel to a unit impulse, after flushing the delay lines. */
    std::vector<double> impulseResponse (int channel, int length)
    {
        for (int i = 0; i < 4 * 4096; ++i)
            step (0.0, 0.0);

        std::vector<double> response;

        for (int i = 0; i < length; ++i)
        {
            const double x = i == 0 ? 1.0 : 0.0;
            response.push_back (step (channel == 0 ? x : 0.0, channel == 1 ? x : 0.0)[static_cast<size_t> (channel)]);
        }

        return response;
    }

    const double* channelSections (int channel) const { return engine.targetValues.data() + KelvaneDsp::midBiquads + 25 * channel; }

    OSK::KelvaneProcessor processor;
    KelvaneDsp& engine;
    double sampleRate;
};

constexpr int eqDelay = 1537;
} // namespace

TEST (Equaliser, FlatIirModeIsTheDelayedInputUpToTheUnityBellsBoost)
{
    for (const double rate : { 44100.0, 96000.0, 192000.0 })
    {
        SCOPED_TRACE (rate);
        Equaliser eq (rate);
        eq.setMode (false);

        const auto response = eq.impulseResponse (0, eqDelay + 4000);

        for (int n = 0; n < eqDelay; ++n)
            ASSERT_EQ (response[static_cast<size_t> (n)], 0.0) << n;

        EXPECT_NEAR (response[eqDelay], 1.0, 1.0e-5);

        // The bells at 0 dB are designed with a boost of 1.000001; together they reach about
        // 1.5e-5 dB near 1.5 kHz. Compare with the designed cascade and with that bound.
        double largest = 0.0;

        for (const double f : logFrequencies (20.0, 0.49 * rate, 60))
        {
            const double measured = decibels (magnitudeAt (response, f, rate));
            const double designed = decibels (cascadeMagnitude (eq.channelSections (0), 5, f, rate));
            EXPECT_NEAR (measured, designed, 1.0e-7) << f;
            largest = std::max (largest, std::abs (measured));
        }

        EXPECT_LT (largest, 2.0e-5);
        EXPECT_GT (largest, 1.0e-5); // the bells' boost is really there
    }
}

TEST (Equaliser, FlatFirModeAt48kHz)
{
    Equaliser eq (48000.0);
    eq.setMode (true);
    eq.installKernels();

    // 1023/1024 for a truly flat magnitude; the unity bells' tiny boost adds about 7e-7.
    EXPECT_NEAR (eq.engine.activeKernel[0][384], 1023.0 / 1024.0, 1.0e-6);

    const auto response = eq.impulseResponse (0, eqDelay + 1000);

    // The FIR output starts D samples before the delayed impulse and is symmetric about it.
    for (int n = 0; n < eqDelay - 384; ++n)
        ASSERT_EQ (response[static_cast<size_t> (n)], 0.0) << n;

    for (int j = 1; j <= 384; ++j)
        ASSERT_NEAR (response[static_cast<size_t> (eqDelay - j)], response[static_cast<size_t> (eqDelay + j)], 1.0e-12) << j;

    for (const double f : logFrequencies (20.0, 0.49 * 48000.0, 80))
        EXPECT_NEAR (decibels (magnitudeAt (response, f, 48000.0)), 0.0, 0.001) << f;

    // The synthesis leaves out the Nyquist bin.
    EXPECT_NEAR (decibels (magnitudeAt (response, 24000.0, 48000.0)), -3.45, 0.05);
}

TEST (Equaliser, KernelWindowIsDolphChebyshev)
{
    Equaliser eq (44100.0);
    const auto& w = eq.engine.kernelWindow;

    EXPECT_DOUBLE_EQ (w[384], 1.0);
    EXPECT_NEAR (w[0], 0.04444, 0.00001);
    EXPECT_NEAR (w[768], 0.04444, 0.00001);
    EXPECT_NEAR (w[1], 0.00467, 0.00001);

    for (int j = 0; j <= 384; ++j)
        ASSERT_DOUBLE_EQ (w[static_cast<size_t> (384 - j)], w[static_cast<size_t> (384 + j)]);
}

TEST (Equaliser, BoostAndCutOfABandAreReciprocal)
{
    for (const int row : { OSK::MHiShlf, OSK::MHiBand, OSK::MLoBand, OSK::MLowShlf })
    {
        SCOPED_TRACE (row);
        Equaliser eq (48000.0);
        const int band = row - OSK::MHiShlf;
        const double* section = eq.channelSections (0) + 5 * band;

        eq.send (row, 1.0f);
        const std::vector<double> boost (section, section + 5);
        eq.send (row, 0.0f);
        const std::vector<double> cut (section, section + 5);

        for (const double f : logFrequencies (20.0, 23900.0, 50))
            ASSERT_NEAR (cascadeMagnitude (boost.data(), 1, f, 48000.0) * cascadeMagnitude (cut.data(), 1, f, 48000.0), 1.0, 1.0e-9) << f;
    }

    // The FIR path sees the same: bin 96 of 1024 is the 4.5 kHz bell's centre at 48 kHz.
    Equaliser eq (48000.0);
    eq.send (OSK::MHiBand, 1.0f);
    EXPECT_NEAR (decibels (eq.engine.cascadeMagnitudes[0].getMagnitudes()[96]), 15.0, 0.001);
    eq.send (OSK::MHiBand, 0.0f);
    EXPECT_NEAR (decibels (eq.engine.cascadeMagnitudes[0].getMagnitudes()[96]), -15.0, 0.001);
}

TEST (Equaliser, ChannelBypassRestoresEachBandsOwnBypass)
{
    Equaliser eq (48000.0);
    eq.send (OSK::MHiBdByp, 1.0f);  // band 1 bypassed on its own
    eq.send (OSK::MLoBand, 0.8f);   // band 3 boosted
    eq.send (OSK::MGain, 0.75f);    // +15 dB channel gain
    const auto before = eq.engine.targetValues;

    eq.send (OSK::MidByp, 1.0f);

    for (const double f : logFrequencies (20.0, 20000.0, 40))
        EXPECT_NEAR (decibels (cascadeMagnitude (eq.channelSections (0), 5, f, 48000.0)), 0.0, 2.0e-5) << f;

    EXPECT_EQ (eq.engine.targetValues[KelvaneDsp::midGain], 1.0);

    // While the channel is bypassed, its bands still follow their parameters.
    eq.send (OSK::MHiShlf, 0.9f);
    EXPECT_NEAR (decibels (cascadeMagnitude (eq.channelSections (0), 5, 20000.0, 48000.0)), 0.0, 2.0e-5);

    eq.send (OSK::MHiShlf, 0.5f);
    eq.send (OSK::MidByp, 0.0f);
    EXPECT_EQ (eq.engine.targetValues, before);
}

TEST (Equaliser, MatricesAndSolos)
{
    struct Case
    {
        const char* what;
        float midSide, firstSolo, secondSolo;
        std::array<double, 4> product; ///< output matrix times input matrix, row by row
    };

    const Case cases[] = {
        { "L/R", 0, 0, 0, { 1, 0, 0, 1 } },
        { "M/S", 1, 0, 0, { 1, 0, 0, 1 } },
        { "M/S both solos", 1, 1, 1, { 1, 0, 0, 1 } },
        { "M/S mid solo", 1, 1, 0, { 0.5, 0.5, 0.5, 0.5 } },
        { "M/S side solo", 1, 0, 1, { 0.5, -0.5, 0.5, -0.5 } },
        { "L/R first solo", 0, 1, 0, { 1, 0, 1, 0 } },
        { "L/R second solo", 0, 0, 1, { 0, 1, 0, 1 } },
    };

    for (const auto& c : cases)
    {
        Equaliser eq (48000.0);
        eq.send (OSK::MidSolo, c.firstSolo);
        eq.send (OSK::SideSolo, c.secondSolo);
        eq.send (OSK::LrMs, c.midSide);

        const auto& w = eq.engine.targetValues;
        const double in[2][2] = { { w[2], w[3] }, { w[4], w[5] } };
        const double out[2][2] = { { w[6], w[7] }, { w[8], w[9] } };

        for (int r = 0; r < 2; ++r)
            for (int col = 0; col < 2; ++col)
                EXPECT_NEAR (out[r][0] * in[0][col] + out[r][1] * in[1][col], c.product[static_cast<size_t> (2 * r + col)], 1.0e-15)
                    << c.what << " [" << r << "][" << col << "]";
    }
}

TEST (Equaliser, BandChangeReachesTheFirOutputAllAtOnceNSamplesLater)
{
    for (const double rate : { 44100.0, 96000.0, 192000.0 })
    {
        SCOPED_TRACE (rate);

        // Three equalisers in FIR mode on the same sine: one never changed, one changed long
        // before, and one changed at the moment under test.
        Equaliser unchanged (rate), changedEarly (rate), changed (rate);

        for (auto* eq : { &unchanged, &changedEarly, &changed })
            eq->setMode (true);

        changedEarly.send (OSK::MMidBand, 1.0f);
        const int n = changed.engine.firLength;
        const double w = 2.0 * pi * 1500.0 / rate;
        int t = 0;

        auto run = [&] (int samples) {
            std::vector<std::array<std::array<double, 2>, 3>> out;

            for (int i = 0; i < samples; ++i, ++t)
            {
                const double x = 0.1 * std::sin (w * t);
                out.push_back ({ unchanged.step (x, x), changedEarly.step (x, x), changed.step (x, x) });
            }

            return out;
        };

        run (3 * n); // kernels installed, histories full of the sine
        changed.send (OSK::MMidBand, 1.0f);
        const auto out = run (2 * n);

        for (int i = 0; i < 2 * n; ++i)
        {
            const auto& sample = out[static_cast<size_t> (i)];
            const auto& expected = i < n - 1 ? sample[0] : sample[1];
            ASSERT_EQ (sample[2][0], expected[0]) << "sample " << i << " after the change";
            ASSERT_EQ (sample[2][1], sample[0][1]) << "the side channel is not linked in the engine";
        }

        EXPECT_GT (std::abs (out[static_cast<size_t> (n)][1][0] - out[static_cast<size_t> (n)][0][0]), 0.01);
    }
}

TEST (Equaliser, RefreshDuringSynthesisNeverMixesTwoSpectra)
{
    Equaliser eq (48000.0);
    eq.setMode (true);
    eq.installKernels();
    const int n = eq.engine.firLength;

    // The kernel of the channel's current band designs, made the straightforward way: the
    // complex spectrum on its linear phase and one inverse-DFT sum per tap.
    auto kernelOfCurrentDesign = [&] {
        std::vector<std::complex<double>> spectrum (static_cast<size_t> (eq.engine.fftSize));
        OSK::DSP::biquadCascadeToSpectrum (eq.channelSections (0), 5, spectrum, 48000.0, eq.engine.firCentre);
        std::vector<double> kernel;

        for (int i = 0; i < n; ++i)
            kernel.push_back (OSK::DSP::idft (spectrum, i) * eq.engine.kernelWindow[static_cast<size_t> (i)]);

        return kernel;
    };

    auto activeIs = [&] (const std::vector<double>& expected) {
        double largestTap = 0.0, largestError = 0.0;

        for (size_t i = 0; i < expected.size(); ++i)
        {
            largestTap = std::max (largestTap, std::abs (expected[i]));
            largestError = std::max (largestError, std::abs (eq.engine.activeKernel[0][i] - expected[i]));
        }

        return largestError <= 1.0e-12 * largestTap;
    };

    eq.send (OSK::MHiShlf, 1.0f);
    const auto first = kernelOfCurrentDesign();

    for (int i = 0; i < n / 2; ++i)
        eq.step (0.0, 0.0);

    eq.send (OSK::MHiShlf, 0.0f); // a refresh half way through the synthesis
    const auto second = kernelOfCurrentDesign();
    ASSERT_FALSE (activeIs (first));

    for (int i = n / 2; i < n; ++i)
        eq.step (0.0, 0.0);

    EXPECT_TRUE (activeIs (first));

    // The newest spectrum follows: installed N samples after the first one was.
    for (int i = 0; i < n - 1; ++i)
        eq.step (0.0, 0.0);

    EXPECT_TRUE (activeIs (first));
    eq.step (0.0, 0.0);
    EXPECT_TRUE (activeIs (second));
    EXPECT_FALSE (eq.isSynthesising (0));
}

TEST (Equaliser, ContinuousAutomationInstallsKernelsAtASteadyRate)
{
    Equaliser eq (48000.0);
    eq.setMode (true);
    eq.installKernels();
    const int n = eq.engine.firLength;

    // A refresh every 64 samples must not keep restarting the synthesis.
    std::vector<int> installs;
    auto previous = eq.engine.activeKernel[0];

    for (int i = 0; i < 5 * n; ++i)
    {
        if (i % 64 == 0)
            eq.send (OSK::MMidBand, 0.5f + 0.4f * static_cast<float> (std::sin (i * 0.001)));

        eq.step (0.0, 0.0);

        if (eq.engine.activeKernel[0] != previous)
        {
            installs.push_back (i);
            previous = eq.engine.activeKernel[0];
        }
    }

    ASSERT_GE (installs.size(), 4u);

    for (size_t k = 1; k < installs.size(); ++k)
        EXPECT_LE (installs[k] - installs[k - 1], n + 1);
}

TEST (Equaliser, PreparationResetsKernelsToAUnitImpulseAndRearmsSynthesis)
{
    Equaliser eq (96000.0);
    eq.engine.prepareToPlay (44100.0, 512, 2, 2);

    for (int c = 0; c < 2; ++c)
    {
        for (int i = 0; i < KelvaneDsp::maxFirLength; ++i)
            ASSERT_EQ (eq.engine.activeKernel[static_cast<size_t> (c)][static_cast<size_t> (i)], i == 384 ? 1.0 : 0.0);

        EXPECT_TRUE (eq.engine.kernelUpdatePending[static_cast<size_t> (c)]);
        EXPECT_EQ (eq.engine.kernelTapCounter[static_cast<size_t> (c)], 0);
        EXPECT_EQ (eq.engine.cascadeMagnitudes[static_cast<size_t> (c)].getFftSize(), 1024);
    }
}
