#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameters.h"

#include <cmath>

namespace OSK
{
namespace
{
    double decibelsToGain (double decibels) noexcept { return std::pow (10.0, decibels / 20.0); }

    /** 0.1 ms at 0 to 100 ms at 1; the expander's power was specified in single precision. */
    double expanderAttackSeconds (float value) noexcept
    {
        return static_cast<double> (std::pow (10.0f, 3.0f * value - 1.0f)) / 1000.0;
    }

    double compressorAttackSeconds (float value) noexcept
    {
        return std::pow (10.0, 3.0 * static_cast<double> (value) - 1.0) / 1000.0;
    }

    /** 20 ms at 0 to 2 s at 1. */
    double releaseSeconds (float value) noexcept { return 0.02 * std::pow (10.0, 2.0 * static_cast<double> (value)); }

    double switchTarget (float value) noexcept { return value >= 0.5f ? 1.0 : 0.0; }

    /** The compressor and expander ratio of a normalised value, 1 to 10. */
    double ratioOf (float value) noexcept { return 9.0 * static_cast<double> (value) + 1.0; }
} // namespace

double KelvaneDsp::timeCoefficient (double seconds) const noexcept
{
    if (sampleRate <= 0.0)
        return 1.0;

    return 1.0 - std::exp (-1.0 / (seconds * sampleRate));
}

void KelvaneDsp::seedReceivedValues() noexcept
{
    // The registry does not re-send parameters that sit at their defaults after the first
    // preparation, so the rows that read other parameters' values must find the defaults here.
    receivedValues.fill (0.0f);

    for (int i = 0; i < numKelvaneParameters; ++i)
        receivedValues[static_cast<size_t> (i)] = kelvaneDefaultRawValue (i);
}

void KelvaneDsp::setDefaultParameters()
{
    powerOn = true;
    targetValues[power] = 1.0;
    targetValues[eqMode] = 1.0;

    // Flat bands, unit channel gains, left/right without solo.
    setEqDefaults();

    targetValues[expanderRatio] = ratioOf (0.0f);
    targetValues[expanderThreshold] = -60.0;
    expanderAttack = timeCoefficient (expanderAttackSeconds (0.0f));
    expanderRelease = timeCoefficient (releaseSeconds (0.5f));
    targetValues[expanderBypass] = 0.0;

    targetValues[compressorThreshold] = 0.0;
    targetValues[compressorSlope] = 0.0;
    targetValues[compressorMakeup] = 1.0;
    compressorAttack = timeCoefficient (compressorAttackSeconds (0.0f));
    compressorRelease = timeCoefficient (releaseSeconds (0.5f));
    targetValues[compressorBypass] = 0.0;

    targetValues[limiterInputGain] = 1.0;
    limiterRelease = timeCoefficient (releaseSeconds (0.5f));
    targetValues[limiterCeiling] = 1.0;
    targetValues[limiterOutputGain] = 1.0;
    targetValues[limiterBypass] = 0.0;
}

void KelvaneDsp::parameterChanged (int index, float v)
{
    switch (index)
    {
        case Power:
            powerOn = v > 0.5f;
            targetValues[power] = powerOn ? 1.0 : 0.0;
            break;
        case EqMode:   targetValues[eqMode] = v > 0.5f ? 1.0 : 0.0; break;
        case Thresh:   targetValues[expanderThreshold] = 60.0 * static_cast<double> (v) - 60.0; break;
        case Ratio:    targetValues[expanderRatio] = ratioOf (v); break;
        case Attack:   expanderAttack = timeCoefficient (expanderAttackSeconds (v)); break;
        case Release:  expanderRelease = timeCoefficient (releaseSeconds (v)); break;
        case ExpByp:   targetValues[expanderBypass] = switchTarget (v); break;
        case CompThr:  setCompressorThresh (v); break;
        case CompRtio: setCompressorRatio (v); break;
        case CompGain: targetValues[compressorMakeup] = decibelsToGain (48.0 * static_cast<double> (v)); break;
        case CompAtt:  compressorAttack = timeCoefficient (compressorAttackSeconds (v)); break;
        case CompRel:  compressorRelease = timeCoefficient (releaseSeconds (v)); break;
        case CAG:      setCompressorAutoGain (v); break;
        case CByp:     targetValues[compressorBypass] = switchTarget (v); break;
        case LGain:    targetValues[limiterInputGain] = decibelsToGain (48.0 * static_cast<double> (v)); break;
        case LCeil:    targetValues[limiterCeiling] = decibelsToGain (30.0 * static_cast<double> (v) - 30.0); break;
        case LRel:     limiterRelease = timeCoefficient (releaseSeconds (v)); break;
        case MakeUp:   targetValues[limiterOutputGain] = decibelsToGain (30.0 * static_cast<double> (v)); break;
        case LByp:     targetValues[limiterBypass] = v > 0.5f ? 1.0 : 0.0; break;
        default:       (void) equaliserParameterChanged (index, v); break;
    }

    // Stored last, so that a row reading its own index sees the previous value.
    if (index >= 0 && index < maxParameterIndex)
        receivedValues[static_cast<size_t> (index)] = v;
}

void KelvaneDsp::setAutoMakeup (float thresholdValue, double ratio) noexcept
{
    // a·48 dB is the static reduction a full-scale signal receives above the knee.
    const auto a = static_cast<float> ((1.0 - 1.0 / ratio) * (1.0 - static_cast<double> (thresholdValue)));
    targetValues[compressorMakeup] = decibelsToGain (48.0 * static_cast<double> (a));
}

void KelvaneDsp::setCompressorThresh (float value) noexcept
{
    targetValues[compressorThreshold] = static_cast<float> (48.0 * static_cast<double> (value) - 48.0);

    if (receivedValues[CAG] != 0.0f)
        setAutoMakeup (value, ratioOf (receivedValues[CompRtio]));
}

void KelvaneDsp::setCompressorRatio (float value) noexcept
{
    targetValues[compressorSlope] = 1.0 / static_cast<double> (static_cast<float> (ratioOf (value))) - 1.0;

    if (receivedValues[CAG] != 0.0f)
        setAutoMakeup (receivedValues[CompThr], ratioOf (value));
}

void KelvaneDsp::setCompressorAutoGain (float value) noexcept
{
    if (value >= 0.5f)
        setAutoMakeup (receivedValues[CompThr], ratioOf (receivedValues[CompRtio]));
    else // back to the make-up the user set: the knob must not show 0.00 while gain stays in the signal
        targetValues[compressorMakeup] = decibelsToGain (48.0 * static_cast<double> (receivedValues[CompGain]));
}

} // namespace OSK
