// The engine's fast paths against the straightforward engine: long randomised sessions with
// automation of every kind, at every rate and in both precisions, must give the same output to
// within 1e-9 of full scale.

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameters.h"
#include "plugin/KelvaneProcessor.h"

#include "reference/ReferenceKelvaneDsp.h"

#include <gtest/gtest.h>

#include <cmath>

using OSK::KelvaneDsp;

namespace
{
/** A parameter move as automation makes it: the raw value a parameter of that kind can have. */
float randomValueFor (int index, juce::Random& random)
{
    const auto& info = OSK::kelvaneParameters[static_cast<size_t> (index)];

    if (info.kind != OSK::KelvaneParameterKind::Choice)
        return random.nextFloat();

    const int choices = info.choices[2] != nullptr ? 3 : 2;
    return static_cast<float> (random.nextInt (choices));
}

struct Session
{
    double sampleRate;
    bool doublePrecision;
    int seed;
};

/** Runs the same session through both engines; returns the largest output difference relative
    to the output's peak (the limiter's output gain can take the output well above full scale). */
double largestDifference (const Session& session, double seconds)
{
    OSK::KelvaneProcessor owner;
    KelvaneDsp fast (owner);
    KelvaneTest::ReferenceKelvaneDsp reference (owner);

    for (auto* engine : { static_cast<KelvaneDsp*> (&fast), static_cast<KelvaneDsp*> (&reference) })
        engine->prepareToPlay (session.sampleRate, 512, 2, 2);

    juce::Random random (session.seed);
    const auto total = static_cast<int> (seconds * session.sampleRate);
    double largest = 0.0;
    double peak = 1.0e-300;
    double phase = 0.0;

    // Loud and quiet passages, so every stage works; the expander and limiter bite.
    auto nextInput = [&] (int n, int c) {
        const double level = (n / 9000) % 3 == 0 ? 0.9 : ((n / 9000) % 3 == 1 ? 0.05 : 0.003);
        phase += 2.0 * 3.14159265358979 * 331.0 / session.sampleRate;
        return level * (0.6 * std::sin (phase + c) + 0.4 * (2.0 * random.nextDouble() - 1.0));
    };

    std::vector<double> in[2], outFast[2], outReference[2];
    std::vector<float> inFloat[2], outFastFloat[2], outReferenceFloat[2];

    for (int start = 0; start < total;)
    {
        // Automation between blocks, as the registry hands it over: several moves, any kind.
        for (int moves = random.nextInt (4); --moves >= 0;)
        {
            const int index = random.nextInt (OSK::numKelvaneParameters);

            // Keep the session audible: "Power" stays on most of the time.
            const float value = index == OSK::Power ? (random.nextInt (10) == 0 ? 0.0f : 1.0f) : randomValueFor (index, random);
            fast.parameterChanged (index, value);
            reference.parameterChanged (index, value);
        }

        const int length = std::min (total - start, 1 + random.nextInt (511));

        for (int c = 0; c < 2; ++c)
        {
            in[c].resize (static_cast<size_t> (length));
            inFloat[c].resize (static_cast<size_t> (length));
        }

        for (int i = 0; i < length; ++i)
            for (int c = 0; c < 2; ++c)
            {
                const double x = nextInput (start + i, c);
                in[c][static_cast<size_t> (i)] = session.doublePrecision ? x : static_cast<double> (static_cast<float> (x));
                inFloat[c][static_cast<size_t> (i)] = static_cast<float> (x);
            }

        if (session.doublePrecision)
        {
            for (int c = 0; c < 2; ++c)
            {
                outFast[c] = in[c];
                outReference[c] = in[c];
            }

            double* f[] = { outFast[0].data(), outFast[1].data() };
            double* r[] = { outReference[0].data(), outReference[1].data() };
            fast.processDouble (length, f, f);
            reference.processDouble (length, r, r);

            for (int c = 0; c < 2; ++c)
                for (size_t i = 0; i < static_cast<size_t> (length); ++i)
                {
                    largest = std::max (largest, std::abs (outFast[c][i] - outReference[c][i]));
                    peak = std::max (peak, std::abs (outReference[c][i]));
                }
        }
        else
        {
            for (int c = 0; c < 2; ++c)
            {
                outFastFloat[c] = inFloat[c];
                outReferenceFloat[c] = inFloat[c];
            }

            float* f[] = { outFastFloat[0].data(), outFastFloat[1].data() };
            float* r[] = { outReferenceFloat[0].data(), outReferenceFloat[1].data() };
            fast.processFloat (length, f, f);
            reference.processFloat (length, r, r);

            // Single-precision output: the two may round to neighbouring floats.
            for (int c = 0; c < 2; ++c)
                for (size_t i = 0; i < static_cast<size_t> (length); ++i)
                {
                    const auto expected = static_cast<double> (outReferenceFloat[c][i]);
                    largest = std::max (largest, std::abs (static_cast<double> (outFastFloat[c][i]) - expected) - std::abs (expected) * 1.2e-7);
                    peak = std::max (peak, std::abs (expected));
                }
        }

        start += length;
    }

    return largest / peak;
}
} // namespace

TEST (FastPaths, AgreeWithTheStraightforwardEngineUnderAutomation)
{
    const Session sessions[] = {
        { 44100.0, true, 1 }, { 48000.0, false, 2 }, { 96000.0, true, 3 }, { 192000.0, true, 4 }, { 192000.0, false, 5 },
    };

    for (const auto& session : sessions)
        EXPECT_LT (largestDifference (session, 1.5), 1.0e-9)
            << session.sampleRate << (session.doublePrecision ? " double" : " float");
}
