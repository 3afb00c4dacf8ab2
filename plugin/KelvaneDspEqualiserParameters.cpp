// The equaliser's parameter side: band design, channel gains, the left/right and mid/side
// matrices with their solos, and the parameter rows that drive them.

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameters.h"

#include "osk_dsp/PrototypeFilter.h"

#include <cmath>

namespace OSK
{
namespace
{
    using DSP::PrototypeFilterType;

    constexpr int numBands = 5;

    /** High shelf, three bells, low shelf: the magnitude-matched shelf and bells keep their shape
        near the Nyquist frequency, the low shelf is a bilinear design. */
    constexpr std::array<PrototypeFilterType, numBands> bandTypes {
        PrototypeFilterType::HighShelf2, PrototypeFilterType::Peak, PrototypeFilterType::Peak,
        PrototypeFilterType::Peak, PrototypeFilterType::LowShelf2
    };

    constexpr std::array<double, numBands> bandFrequencies { 12000.0, 4500.0, 1500.0, 450.0, 80.0 };

    /** The double one step below the nearest double to 1/√2. */
    constexpr double shelfQ = 0.7071067811865475;

    bool on (float value) noexcept { return value >= 0.5f; }

    /** The parameter indices of one equaliser channel; the second channel's are 14 further on. */
    struct ChannelRows
    {
        explicit constexpr ChannelRows (int channel) : first (MHiShlf + 14 * channel) {}

        constexpr int band (int b) const { return first + b; }
        constexpr int gain() const { return first + 5; }
        constexpr int bandBypass (int b) const { return first + 6 + b; }
        constexpr int gainBypass() const { return first + 11; }
        constexpr int channelBypass() const { return first + 12; }
        constexpr int solo() const { return first + 13; }

        int first;
    };
} // namespace

void KelvaneDsp::setEqBand (int channel, int band, bool bypassed, float value)
{
    const double boost = bypassed ? 1.0 : std::pow (10.0, (30.0 * static_cast<double> (value) - 15.0) / 20.0);
    const double factor = boost > 1.0 ? boost : 1.0 / boost;

    // The bells narrow as they get louder: q is 4/9 at 0 dB and about 2.5 at ±15 dB.
    const double q = (band >= 1 && band <= 3) ? factor / 9.0 * 4.0 : shelfQ;

    double* section = targetValues.data() + midBiquads + 25 * channel + 5 * band;
    DSP::prewarped (section, bandTypes[static_cast<size_t> (band)], sampleRate,
                    bandFrequencies[static_cast<size_t> (band)], q, factor);

    // A cut is the exact inverse of the boost of the same size.
    if (boost < 1.0)
    {
        const double b0 = section[0], b1 = section[1], a1 = section[2], b2 = section[3], a2 = section[4];
        section[0] = 1.0 / b0;
        section[1] = a1 / b0;
        section[2] = b1 / b0;
        section[3] = a2 / b0;
        section[4] = b2 / b0;
    }

    refreshSpectrum (channel, band);
}

void KelvaneDsp::refreshSpectrum (int channel, int band)
{
    // Before the first preparation there is no rate to design for; preparation refreshes again.
    if (sampleRate <= 0.0)
        return;

    // Only the changed band's section is evaluated again; the magnitude response is the product
    // of all five.
    const auto slot = static_cast<size_t> (channel);
    const std::lock_guard<std::mutex> lock (kernelLocks[slot]);
    cascadeMagnitudes[slot].setSection (band, targetValues.data() + midBiquads + 25 * channel + 5 * band);
    kernelUpdatePending[slot] = true;
}

void KelvaneDsp::setEqGain (int channel, bool bypassed, float value) noexcept
{
    const float decibels = 60.0f * value - 30.0f;
    targetValues[static_cast<size_t> (midGain + channel)] = bypassed ? 1.0 : std::pow (10.0, static_cast<double> (decibels) / 20.0);
}

void KelvaneDsp::setSolo (bool midSide, bool firstSolo, bool secondSolo) noexcept
{
    const double b = midSide ? shelfQ : 1.0;
    const double a = midSide ? shelfQ : 0.0;
    const double n = midSide ? -shelfQ : 1.0;

    targetValues[inMatrix + 0] = b;
    targetValues[inMatrix + 1] = a;
    targetValues[inMatrix + 2] = a;
    targetValues[inMatrix + 3] = n;

    // A solo puts one equaliser channel on both outputs; both solos are as good as none.
    std::array<double, 4> out { b, a, a, n };

    if (firstSolo && ! secondSolo)
        out = { b, 0.0, b, 0.0 };
    else if (secondSolo && ! firstSolo)
        out = { 0.0, b, 0.0, b };

    for (int k = 0; k < 4; ++k)
        targetValues[static_cast<size_t> (outMatrix + k)] = out[static_cast<size_t> (k)];
}

bool KelvaneDsp::equaliserParameterChanged (int index, float v)
{
    const auto rv = [this] (int i) { return receivedValues[static_cast<size_t> (i)]; };

    if (index == LrMs)
    {
        setSolo (on (v), on (rv (MidSolo)), on (rv (SideSolo)));
        return true;
    }

    if (index < MHiShlf || index > SideSolo)
        return false;

    const int channel = index < SHiShlf ? 0 : 1;
    const ChannelRows rows (channel);
    const int offset = index - rows.first;
    const bool channelBypassed = on (rv (rows.channelBypass()));

    if (offset < numBands) // a band's gain
        setEqBand (channel, offset, on (rv (rows.bandBypass (offset))) || channelBypassed, v);
    else if (index == rows.gain())
        setEqGain (channel, on (rv (rows.gainBypass())) || channelBypassed, v);
    else if (index < rows.gainBypass()) // a band's bypass
        setEqBand (channel, offset - 6, on (v) || channelBypassed, rv (rows.band (offset - 6)));
    else if (index == rows.gainBypass())
        setEqGain (channel, on (v) || channelBypassed, rv (rows.gain()));
    else if (index == rows.channelBypass())
    {
        // Off restores every band and the gain to their own bypass states.
        for (int b = 0; b < numBands; ++b)
            setEqBand (channel, b, on (rv (rows.bandBypass (b))) || on (v), rv (rows.band (b)));

        setEqGain (channel, on (rv (rows.gainBypass())) || on (v), rv (rows.gain()));
    }
    else // the channel's solo
        setSolo (on (rv (LrMs)), channel == 0 ? on (v) : on (rv (MidSolo)), channel == 1 ? on (v) : on (rv (SideSolo)));

    return true;
}

void KelvaneDsp::setEqDefaults()
{
    for (int c = 0; c < numChannels; ++c)
        for (int b = 0; b < numBands; ++b)
            setEqBand (c, b, false, 0.5f);

    setEqGain (0, false, 0.5f);
    setEqGain (1, false, 0.5f);
    setSolo (false, false, false);
}

} // namespace OSK
