#include "DemoPiece.h"

#include "AtomicFile.h"
#include "SampleQuantiser.h"

#include <array>
#include <cmath>
#include <vector>

namespace KelvaneRender
{
namespace
{
    constexpr double twoPi = 6.283185307179586;
    constexpr double beatSeconds = 0.5;
    constexpr int beatsPerBar = 4;

    double noteFrequency (int midiNote) { return 440.0 * std::pow (2.0, (midiNote - 69) / 12.0); }

    /** A sawtooth without the worst of its aliasing (PolyBLEP). */
    class Saw
    {
    public:
        Saw (double frequency, double sampleRate, double startPhase) : increment (frequency / sampleRate), phase (startPhase) {}

        double next()
        {
            auto value = 2.0 * phase - 1.0;
            value -= blep (phase);
            phase += increment;

            if (phase >= 1.0)
                phase -= 1.0;

            return value;
        }

    private:
        [[nodiscard]] double blep (double t) const
        {
            if (t < increment)
            {
                t /= increment;
                return t + t - t * t - 1.0;
            }

            if (t > 1.0 - increment)
            {
                t = (t - 1.0) / increment;
                return t * t + t + t + 1.0;
            }

            return 0.0;
        }

        double increment;
        double phase;
    };

    /** Adds a sound to both channels with a level and a position (−1 left .. +1 right). */
    void addPanned (juce::AudioBuffer<double>& mix, int start, const std::vector<double>& sound, double gain, double pan)
    {
        const std::array<double, 2> sides { std::cos ((pan + 1.0) * twoPi / 8.0), std::sin ((pan + 1.0) * twoPi / 8.0) };

        for (int c = 0; c < 2; ++c)
        {
            auto* out = mix.getWritePointer (c);

            for (size_t i = 0; i < sound.size() && start + static_cast<int> (i) < mix.getNumSamples(); ++i)
                out[start + static_cast<int> (i)] += sound[i] * gain * sides[static_cast<size_t> (c)];
        }
    }

    std::vector<double> kick (double rate)
    {
        std::vector<double> sound (static_cast<size_t> (0.4 * rate));
        double phase = 0.0;

        for (size_t i = 0; i < sound.size(); ++i)
        {
            const auto t = static_cast<double> (i) / rate;
            phase += twoPi * (48.0 + 110.0 * std::exp (-t / 0.035)) / rate;
            sound[i] = std::sin (phase) * std::exp (-t / 0.18) * std::min (1.0, t * 2000.0);
        }

        return sound;
    }

    std::vector<double> snare (double rate, DitherNoise& noise)
    {
        std::vector<double> sound (static_cast<size_t> (0.3 * rate));
        double previous = 0.0;

        for (size_t i = 0; i < sound.size(); ++i)
        {
            const auto t = static_cast<double> (i) / rate;
            const auto white = noise.nextUniform() * 2.0;
            const auto bright = white - 0.6 * previous; // tilts the noise toward the highs
            previous = white;
            sound[i] = 0.7 * bright * std::exp (-t / 0.09) + 0.5 * std::sin (twoPi * 185.0 * t) * std::exp (-t / 0.06);
        }

        return sound;
    }

    std::vector<double> hat (double rate, DitherNoise& noise, double decaySeconds)
    {
        std::vector<double> sound (static_cast<size_t> (6.0 * decaySeconds * rate));
        double previous = 0.0;

        for (size_t i = 0; i < sound.size(); ++i)
        {
            const auto t = static_cast<double> (i) / rate;
            const auto white = noise.nextUniform() * 2.0;
            sound[i] = (white - previous) * std::exp (-t / decaySeconds); // a first difference keeps only the highs
            previous = white;
        }

        return sound;
    }

    std::vector<double> bassNote (double rate, double frequency, double seconds)
    {
        std::vector<double> sound (static_cast<size_t> (seconds * rate));

        for (size_t i = 0; i < sound.size(); ++i)
        {
            const auto t = static_cast<double> (i) / rate;
            const auto tone = std::tanh (1.8 * std::sin (twoPi * frequency * t)) + 0.3 * std::sin (twoPi * 2.0 * frequency * t);
            const auto release = std::min (1.0, (seconds - t) * 200.0);
            sound[i] = tone * std::exp (-t / 0.35) * std::min (1.0, t * 500.0) * release;
        }

        return sound;
    }

    /** A chord of detuned saws through a gentle low-pass, fading in and out over a bar. */
    void addPadChord (juce::AudioBuffer<double>& mix, int start, int length, const std::array<int, 4>& notes, double rate,
                      double gain, bool lastChord)
    {
        const double cutoffCoefficient = 1.0 - std::exp (-twoPi * 2500.0 / rate);

        for (int c = 0; c < 2; ++c)
        {
            // Each side detunes the other way, which spreads the pad across the stereo image.
            const double cents = c == 0 ? -7.0 : 7.0;
            std::vector<Saw> voices;

            for (size_t n = 0; n < notes.size(); ++n)
                voices.emplace_back (noteFrequency (notes[n]) * std::pow (2.0, cents / 1200.0), rate, 0.13 * static_cast<double> (n + 1) + 0.31 * c);

            auto* out = mix.getWritePointer (c);
            double filtered = 0.0;
            const auto ring = lastChord ? 2 * length : length;

            for (int i = 0; i < ring && start + i < mix.getNumSamples(); ++i)
            {
                double sum = 0.0;

                for (auto& voice : voices)
                    sum += voice.next();

                filtered += (sum - filtered) * cutoffCoefficient;

                const auto t = static_cast<double> (i) / rate;
                const auto attack = std::min (1.0, t / 0.25);
                const auto release = lastChord ? std::exp (-t / 1.2) : std::min (1.0, static_cast<double> (length - i) / (0.05 * rate));
                out[start + i] += filtered * gain * attack * release;
            }
        }
    }
} // namespace

juce::AudioBuffer<double> makeDemoPiece (double rate, double seconds)
{
    const auto bars = std::max (2, static_cast<int> (std::lround (seconds / (beatSeconds * beatsPerBar))));
    const auto samplesPerBeat = static_cast<int> (std::lround (beatSeconds * rate));
    const auto samplesPerBar = samplesPerBeat * beatsPerBar;

    juce::AudioBuffer<double> mix (2, bars * samplesPerBar);
    mix.clear();

    DitherNoise noise (0x6b656c76616e65ull);
    const auto kickSound = kick (rate);
    const auto snareSound = snare (rate, noise);
    const auto closedHat = hat (rate, noise, 0.025);
    const auto openHat = hat (rate, noise, 0.12);

    // A minor, F, C, G: chord notes and bass roots.
    const std::array<std::array<int, 4>, 4> chords { { { 57, 60, 64, 69 }, { 53, 57, 60, 65 }, { 55, 60, 64, 67 }, { 55, 59, 62, 67 } } };
    const std::array<int, 4> roots { 33, 29, 36, 31 };

    for (int bar = 0; bar < bars; ++bar)
    {
        const auto barStart = bar * samplesPerBar;
        const auto chord = static_cast<size_t> (bar % 4);
        const bool intro = bar == 0;
        const bool lastBar = bar == bars - 1;

        addPadChord (mix, barStart, samplesPerBar, chords[chord], rate, intro ? 0.035 : 0.06, lastBar);

        if (lastBar)
        {
            addPanned (mix, barStart, kickSound, 0.9, 0.0);
            addPanned (mix, barStart, bassNote (rate, noteFrequency (roots[chord]), 2.0 * beatSeconds), 0.5, 0.0);
            continue;
        }

        for (int eighth = 0; eighth < 2 * beatsPerBar; ++eighth)
        {
            const auto at = barStart + eighth * samplesPerBeat / 2;
            const bool offBeat = eighth % 2 == 1;

            addPanned (mix, at, offBeat && eighth == 7 ? openHat : closedHat, offBeat ? 0.12 : 0.08, 0.35);

            if (intro)
                continue;

            addPanned (mix, at, bassNote (rate, noteFrequency (roots[chord] + (eighth == 6 ? 12 : 0)), 0.5 * beatSeconds), 0.42, 0.0);

            if (eighth == 0 || eighth == 4 || eighth == 5)
                addPanned (mix, at, kickSound, eighth == 5 ? 0.6 : 0.9, 0.0);

            if (eighth == 2 || eighth == 6)
                addPanned (mix, at, snareSound, 0.55, -0.1);
        }
    }

    // A fixed peak of −6 dBFS, like an unmastered mix, leaves room for the chain.
    const auto peak = std::max (mix.getMagnitude (0, 0, mix.getNumSamples()), mix.getMagnitude (1, 0, mix.getNumSamples()));

    if (peak > 0.0)
        mix.applyGain (std::pow (10.0, -6.0 / 20.0) / peak);

    return mix;
}

void writeDemoPiece (const juce::File& file)
{
    const auto piece = makeDemoPiece (44100.0, 12.0);
    const auto length = piece.getNumSamples();

    OutputFormat format;
    format.formatName = "WAV";
    format.bitsPerSample = 24;
    format.numChannels = 2;
    format.sampleRate = 44100.0;

    AtomicAudioFile output (file, format);
    SampleQuantiser quantiser (2, 24, false, true, seedForName ("kelvane-demo"));
    std::vector<int> left (static_cast<size_t> (length)), right (static_cast<size_t> (length));
    std::vector<double> written (static_cast<size_t> (length));

    quantiser.convert (0, piece.getReadPointer (0), length, left.data(), written.data());
    quantiser.convert (1, piece.getReadPointer (1), length, right.data(), written.data());

    const int* channels[] = { left.data(), right.data(), nullptr };
    output.write (channels, length);
    output.commit();
}

} // namespace KelvaneRender
