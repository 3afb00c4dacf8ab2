#include "PreviewEditor.h"

#include "osk_gui/EmbeddedResources.h"

namespace KelvaneScreenshot
{
namespace
{
    using namespace OSK;
    using Kind = PreviewMeter::Kind;

    struct MeterSpot
    {
        Kind kind;
        const char* onImage;
        const char* offImage;
        juce::Rectangle<int> bounds;
        double value; // a moment of a loud master, for the picture
    };

    // The seventeen meters of the product panel, by meter index.
    const MeterSpot meterSpots[] {
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 135, 25, 5, 500 }, 0.80 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 145, 25, 5, 500 }, 0.78 },
        { Kind::barFromTop, "MeterSGROn_png", "MeterSGROff_png", { 165, 25, 5, 500 }, 0.06 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 475, 25, 5, 500 }, 0.84 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 485, 25, 5, 500 }, 0.82 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 625, 25, 5, 500 }, 0.86 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 635, 25, 5, 500 }, 0.85 },
        { Kind::barFromTop, "MeterSGROn_png", "MeterSGROff_png", { 655, 25, 5, 500 }, 0.22 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 795, 25, 5, 500 }, 0.97 },
        { Kind::bar, "MeterSPeakOn_png", "MeterSPeakOff_png", { 805, 25, 5, 500 }, 0.96 },
        { Kind::barFromTop, "MeterSGROn_png", "MeterSGROff_png", { 825, 25, 5, 500 }, 0.12 },
        { Kind::bar, "MeterMPeakOn_png", "MeterMPeakOff_png", { 890, 25, 10, 500 }, 0.97 },
        { Kind::bar, "MeterMPeakOn_png", "MeterMPeakOff_png", { 970, 25, 10, 500 }, 0.96 },
        { Kind::bar, "MeterLMainOn_png", "MeterLMainOff_png", { 905, 25, 20, 500 }, 0.62 },
        { Kind::bar, "MeterLMainOn_png", "MeterLMainOff_png", { 945, 25, 20, 500 }, 0.60 },
        { Kind::pointer, "MeterPointCorr_png", "MeterPointOff_png", { 880, 625, 110, 15 }, 0.86 },
        { Kind::pointer, "MeterPointBal_png", "MeterPointOff_png", { 880, 605, 110, 15 }, 0.48 },
    };
} // namespace

PreviewEditor::PreviewEditor (KelvaneProcessor& processorToShow)
    : BaseEditor (processorToShow),
      typeface (EmbeddedResources::createInterfaceTypeface()),
      meterLabelFont (juce::Font (typeface).withHeight (11.0f)),
      knobLabelFont (juce::Font (typeface).withHeight (12.0f)),
      knobValueFont (juce::Font (typeface).withHeight (13.0f))
{
    logoButton.setBounds (33, 583, 145, 40);
    createToggle (50, 634, false, Power);

    createKnob ("KnobExp_png", 39, 29, "Thresh", Thresh);
    createKnob ("KnobExp_png", 39, 164, "Ratio", Ratio);
    createKnob ("KnobExp_png", 39, 299, "Attack", Attack);
    createKnob ("KnobExp_png", 39, 429, "Release", Release);
    createToggle (50, 549, false, ExpByp);
    createMeters ({ 0, 1, 2 });

    createEqGroup (29, "HiSh", MHiShlf, MHiShByp, SHiShlf, SHiShByp, HgSlfLnk, 0);
    createEqGroup (129, "High", MHiBand, MHiBdByp, SHiBand, SHiBdByp, HgBndLnk, 0);
    createEqGroup (229, "Mid", MMidBand, MMdBdByp, SMidBand, SMdBdByp, MdBndLnk, 0);
    createEqGroup (329, "Low", MLoBand, MLwBdByp, SLoBand, SLwBdByp, LwBndLnk, 0);
    createEqGroup (429, "LowSh", MLowShlf, MLwShByp, SLowShlf, SLwShByp, LwSlfLnk, 0);
    createEqGroup (529, "Gain", MGain, MGainByp, SGain, SGainByp, GainLnk, -10);
    createToggle (324, 569, true, GainInvr);
    createToggle (245, 629, false, MidByp);
    createToggle (245, 649, true, MidSolo);
    createToggle (405, 629, false, SideByp);
    createToggle (405, 649, true, SideSolo);
    createToggle (310, 629, false, LrMs);
    createToggle (340, 629, true, EqMode);
    createMeters ({ 3, 4 });

    createKnob ("KnobComp_png", 529, 29, "Thress", CompThr);
    createKnob ("KnobComp_png", 529, 129, "Ratio", CompRtio);
    createKnob ("KnobComp_png", 529, 229, "Attack", CompAtt);
    createKnob ("KnobComp_png", 529, 329, "Release", CompRel);
    createKnob ("KnobComp_png", 529, 429, "Gain", CompGain);
    createToggle (540, 544, true, CAG);
    createToggle (540, 564, false, CByp);
    createMeters ({ 5, 6, 7 });

    createKnob ("KnobLim_png", 699, 29, "Gain", LGain);
    createKnob ("KnobLim_png", 699, 164, "Ceil", LCeil);
    createKnob ("KnobLim_png", 699, 299, "Release", LRel);
    createKnob ("KnobLim_png", 699, 429, "MakeUp", MakeUp);
    createToggle (710, 544, false, LByp);
    createMeters ({ 8, 9, 10 });

    createMeterScaleList();
    createMeters ({ 11, 12, 13, 14, 16 });

    auto* scale = new juce::ImageComponent();
    stillParts.add (scale);
    scale->setBounds (925, 21, 20, 510);
    scale->setImage (EmbeddedResources::productImage ("MeterScale_png"),
                     juce::RectanglePlacement::fillDestination | juce::RectanglePlacement::xLeft);
    addAndMakeVisible (scale);

    createMeters ({ 15 });

    for (auto x : { 875, 905, 940, 970 })
        createLabel (x);

    about.versionLabel.setTopLeftPosition (editorWidth - 210, 35);
}

PreviewEditor::~PreviewEditor() = default;

void PreviewEditor::createKnob (const juce::String& strip, int x, int y, const juce::String& caption, int parameter)
{
    auto* knob = knobs.add (new Knob (strip, x, y));
    knob->label = caption;
    knob->labelFont = &knobLabelFont;
    knob->labelColour = juce::Colour (0xff8a8a8a);
    knob->setTextBoxStyle (juce::Slider::TextBoxBelow, false, 72, 15);
    knob->setBounds (x, y, 72, 91);
    knob->lookAndFeel = std::make_unique<KnobLookAndFeel> (&knobValueFont);
    knob->setLookAndFeel (knob->lookAndFeel.get());
    addAndMakeVisible (knob);

    const auto& id = baseProcessor.parameterIds[(size_t) parameter];
    knob->setComponentID (id);
    sliderAttachments.add (new SliderAttachment (baseProcessor.valueTreeState, id, *knob));
}

void PreviewEditor::createToggle (int x, int y, bool yellow, int parameter)
{
    auto* toggle = toggles.add (new Toggle (yellow ? "SwitchYellow_png" : "SwitchRed_png"));
    toggle->setBounds (x, y, 12, 12);
    toggle->inverted = true;
    addAndMakeVisible (toggle);

    const auto& id = baseProcessor.parameterIds[(size_t) parameter];
    toggle->setComponentID (id);
    buttonAttachments.add (new ButtonAttachment (baseProcessor.valueTreeState, id, *toggle));
}

void PreviewEditor::createEqGroup (int y, const juce::String& caption, int midGain, int midBypass, int sideGain,
                                   int sideBypass, int link, int linkOffset)
{
    createKnob ("KnobEQ_png", 214, y, caption, midGain);
    createToggle (309, y + 30, false, midBypass);
    createToggle (324, y + 30 + linkOffset, true, link);
    createToggle (339, y + 30, false, sideBypass);
    createKnob ("KnobEQ_png", 374, y, caption, sideGain);
}

void PreviewEditor::createMeters (std::initializer_list<int> indices)
{
    for (auto index : indices)
    {
        const auto& spot = meterSpots[index];
        auto* meter = new PreviewMeter (spot.kind, spot.onImage, spot.offImage, spot.value);
        stillParts.add (meter);
        meter->setBounds (spot.bounds);

        if (index == 15)
            meter->frameCount = 3;

        addAndMakeVisible (meter);
    }
}

void PreviewEditor::createLabel (int x)
{
    auto* label = new juce::Label ({}, "--");
    stillParts.add (label);
    label->setFont (meterLabelFont);
    label->setJustificationType (juce::Justification::centred);
    label->setColour (juce::Label::textColourId, juce::Colours::black);
    label->setBounds (x, 535, 25, 15);
    addAndMakeVisible (label);
}

void PreviewEditor::createMeterScaleList()
{
    auto* dropDown = dropDowns.add (new DropDown());
    dropDown->setBounds (875, 560, 120, 15);

    if (auto* parameter = baseProcessor.valueTreeState.getParameter ("MetSwi"))
        dropDown->addItemList (parameter->getAllValueStrings(), 1);

    addAndMakeVisible (dropDown);
    dropDown->setComponentID ("MetSwi");
    comboBoxAttachments.add (new ComboBoxAttachment (baseProcessor.valueTreeState, "MetSwi", *dropDown));
}

} // namespace KelvaneScreenshot
