#include "plugin/KelvaneProcessor.h"

#include "plugin/KelvaneDsp.h"
#include "plugin/KelvaneParameterText.h"
#include "plugin/KelvanePrograms.h"

#if KELVANE_WITH_EDITOR
 #include "plugin/KelvaneEditor.h"
#endif

namespace OSK
{
namespace
{
    juce::StringArray choicesOf (const KelvaneParameterInfo& info)
    {
        juce::StringArray choices;

        for (const auto* choice : info.choices)
            if (choice != nullptr)
                choices.add (choice);

        return choices;
    }

    bool isLinkSwitch (int index) noexcept { return index >= HgSlfLnk && index <= GainLnk; }
} // namespace

KelvaneProcessor::KelvaneProcessor()
    : engine (std::make_unique<KelvaneDsp> (*this))
{
    dsp = engine.get();
    registerParametersAndPrograms();
}

KelvaneProcessor::~KelvaneProcessor()
{
    // The engine goes first, then the links, while the value tree state they listen to still exists.
    dsp = nullptr;
    engine.reset();

    for (auto& pair : bandLinks)
    {
        pair.gain.reset();
        pair.bypass.reset();
    }
}

void KelvaneProcessor::registerParameter (int index)
{
    const auto& info = kelvaneParameters[static_cast<size_t> (index)];

    switch (info.kind)
    {
        case KelvaneParameterKind::Linear:
            createFloatParameter (index, info.id, info.defaultValue, info.displayMin, info.displayMax, info.suffix, info.meta);
            break;
        case KelvaneParameterKind::Attack:
            createFloatParameter (index, info.id, info.defaultValue, KelvaneParameterText::attackValueToText,
                                  KelvaneParameterText::attackTextToValue);
            break;
        case KelvaneParameterKind::Release:
            createFloatParameter (index, info.id, info.defaultValue, KelvaneParameterText::releaseValueToText,
                                  KelvaneParameterText::releaseTextToValue);
            break;
        case KelvaneParameterKind::Choice:
            createChoicesParameter (index, info.id, choicesOf (info), static_cast<int> (info.defaultValue), info.meta);
            break;
    }
}

void KelvaneProcessor::createBandLinks (int band)
{
    const auto& link = kelvaneBandLinks[static_cast<size_t> (band)];
    auto& pair = bandLinks[static_cast<size_t> (band)];

    pair.gain.reset (createParameterLink (link.firstGain, link.secondGain, ParameterLink::Type::Relative,
                                          ParameterLink::Direction::Both));
    pair.bypass.reset (createParameterLink (link.firstBypass, link.secondBypass, ParameterLink::Type::Absolute,
                                            ParameterLink::Direction::Both));
}

void KelvaneProcessor::createParameters()
{
    for (const auto index : kelvaneRegistrationOrder)
    {
        if (! isLinkSwitch (index))
        {
            registerParameter (index);
            continue;
        }

        // Each switch is registered right after the links it controls, which start enabled like it.
        const auto band = index - HgSlfLnk;
        createBandLinks (band);
        registerParameter (index);

        auto& pair = bandLinks[static_cast<size_t> (band)];
        const bool on = kelvaneDefaultRawValue (index) >= 0.5f;
        pair.gain->enabled = on;
        pair.bypass->enabled = on;
    }

    createHostMeter (0, "GR Expander", HostMeterType::ExpanderGateGainReduction);
    createHostMeter (1, "GR Compressor", HostMeterType::CompressorLimiterGainReduction);
    createHostMeter (2, "GR Limiter", HostMeterType::CompressorLimiterGainReduction);
}

void KelvaneProcessor::createPresets()
{
    for (const auto& program : kelvaneFactoryPrograms)
        addProgram (program.name, program.values.data(), numKelvaneParameters);
}

void KelvaneProcessor::parameterChanged (int index, float value)
{
    if (! isLinkSwitch (index))
        return;

    auto& pair = bandLinks[static_cast<size_t> (index - HgSlfLnk)];
    const bool on = value >= 0.5f;
    pair.gain->enabled = on;
    pair.bypass->enabled = on;
}

bool KelvaneProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    // The chain's detectors, matrices and limiter are built for exactly two channels.
    const auto& in = layouts.getMainInputChannelSet();
    const auto& out = layouts.getMainOutputChannelSet();

    return ! in.isDisabled() && ! out.isDisabled() && in.size() == 2 && out.size() == 2;
}

juce::AudioProcessorEditor* KelvaneProcessor::createEditor()
{
   #if KELVANE_WITH_EDITOR
    return new KelvaneEditor (*this);
   #else
    // A build without the editor framework has no panel to show.
    return BaseProcessor::createEditor();
   #endif
}

} // namespace OSK
