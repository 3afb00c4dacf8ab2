// Compiled only when the build includes the editor framework; otherwise the product offers JUCE's
// generic editor (see KelvaneProcessor::createEditor).
#if KELVANE_WITH_EDITOR

#include "plugin/KelvaneEditor.h"

#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/HorizontalMeter.h"
#include "plugin/KelvaneParameters.h"

namespace OSK
{
namespace
{
    constexpr int meterTop = 25;
    constexpr int meterHeight = 500;

    struct MeterPlace
    {
        const char* onImage;
        const char* offImage;
        int x;
        int width;
        bool fillFromTop;
    };

    // The engine's meters by meter index: peaks, gain reduction (filling down from the top), the
    // output peaks and the output RMS meters. 15 and 16 are the pointer meters.
    constexpr MeterPlace verticalMeters[] {
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 135, 5, false },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 145, 5, false },
        { "MeterSGROn_png", "MeterSGROff_png", 165, 5, true },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 475, 5, false },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 485, 5, false },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 625, 5, false },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 635, 5, false },
        { "MeterSGROn_png", "MeterSGROff_png", 655, 5, true },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 795, 5, false },
        { "MeterSPeakOn_png", "MeterSPeakOff_png", 805, 5, false },
        { "MeterSGROn_png", "MeterSGROff_png", 825, 5, true },
        { "MeterMPeakOn_png", "MeterMPeakOff_png", 890, 10, false },
        { "MeterMPeakOn_png", "MeterMPeakOff_png", 970, 10, false },
        { "MeterLMainOn_png", "MeterLMainOff_png", 905, 20, false },
        { "MeterLMainOn_png", "MeterLMainOff_png", 945, 20, false },
    };

    constexpr int correlationMeter = 15;
    constexpr int balanceMeter = 16;
    constexpr int rmsMeterLeftIndex = 13;
    constexpr int rmsMeterRightIndex = 14;
    constexpr int peakMeterLeftIndex = 11;
    constexpr int peakMeterRightIndex = 12;

    // The column of the K-scale picture and of the RMS meters' lit picture for a "MetSwi" choice:
    // K-20, K-14, K-12 from left to right.
    int scaleColumn (float choice)
    {
        if (juce::approximatelyEqual (choice, 0.0f))
            return 0;

        return juce::approximatelyEqual (choice, 1.0f) ? 1 : 2;
    }
} // namespace

KelvaneEditor::KelvaneEditor (KelvaneProcessor& processorToEdit)
    : KelvaneEditor (processorToEdit, EmbeddedResources::createInterfaceTypeface())
{
}

KelvaneEditor::KelvaneEditor (KelvaneProcessor& processorToEdit, const juce::Typeface::Ptr& typeface)
    : BaseEditor (processorToEdit),
      meterLabelFont (juce::Font (typeface).withHeight (11.0f)),
      knobLabelFont (juce::Font (typeface).withHeight (12.0f)),
      knobValueFont (juce::Font (typeface).withHeight (13.0f))
{
    setWantsKeyboardFocus (true);
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
    createMeters ({ peakMeterLeftIndex, peakMeterRightIndex, rmsMeterLeftIndex, rmsMeterRightIndex, balanceMeter });

    meterScale = std::make_unique<juce::ImageComponent>();
    meterScale->setBounds (925, 21, 20, 510);
    meterScale->setImage (EmbeddedResources::productImage ("MeterScale_png"),
                          juce::RectanglePlacement::fillDestination | juce::RectanglePlacement::xLeft);
    addAndMakeVisible (*meterScale);

    createMeters ({ correlationMeter });

    peakLabelLeft = createLabel (875);
    rmsLabelLeft = createLabel (905);
    rmsLabelRight = createLabel (940);
    peakLabelRight = createLabel (970);
    attachLabel (*peakLabelLeft, peakMeterLeftIndex);
    attachLabel (*rmsLabelLeft, rmsMeterLeftIndex);
    attachLabel (*rmsLabelRight, rmsMeterRightIndex);
    attachLabel (*peakLabelRight, peakMeterRightIndex);

    about.versionLabel.setTopLeftPosition (editorWidth - 210, 35);

    // The knobs exist now, so the user's drag mode and distance reach every one of them.
    menu.loadSettings();

    if (auto* scaleParameter = baseProcessor.valueTreeState.getParameter ("MetSwi"))
    {
        auto* attachment = parameterAttachments.add (new juce::ParameterAttachment (
            *scaleParameter, [this] (float choice) { showMeterScale (choice); }, nullptr));
        attachment->sendInitialUpdate();
    }
}

KelvaneEditor::~KelvaneEditor()
{
    // The meters belong to the base and outlive these labels by a moment; they must not point at them.
    for (juce::HashMap<int, Meter*>::Iterator entry (meters); entry.next();)
        if (auto* meter = entry.getValue())
            meter->label = nullptr;
}

const juce::String& KelvaneEditor::parameterId (int parameter) const
{
    return baseProcessor.parameterIds[(size_t) parameter];
}

void KelvaneEditor::createKnob (const juce::String& filmStrip, int x, int y, const juce::String& caption, int parameter)
{
    auto* knob = new Knob (filmStrip, x, y);
    knob->label = caption;
    knob->labelFont = &knobLabelFont;
    knob->labelColour = juce::Colour (0xff8a8a8a);
    knob->labelX = 0;
    knob->labelY = 0;

    // The value box sits under the 72 x 72 image, inside the knob's own bounds.
    knob->setTextBoxStyle (juce::Slider::TextBoxBelow, false, 72, 15);
    knob->setBounds (x, y, 72, 91);
    knob->lookAndFeel = std::make_unique<KnobLookAndFeel> (&knobValueFont);
    knob->setLookAndFeel (knob->lookAndFeel.get());

    addAndMakeVisible (knob);
    knobs.add (knob);

    const auto& id = parameterId (parameter);
    knob->setComponentID (id);
    sliderAttachments.add (new SliderAttachment (baseProcessor.valueTreeState, id, *knob));
}

void KelvaneEditor::createToggle (int x, int y, bool yellow, int parameter)
{
    auto* toggle = new Toggle (yellow ? "SwitchYellow_png" : "SwitchRed_png");
    toggle->setBounds (x, y, 12, 12);
    toggle->inverted = true; // on shows the lit lower frame

    addAndMakeVisible (toggle);
    toggles.add (toggle);

    const auto& id = parameterId (parameter);
    toggle->setComponentID (id);
    buttonAttachments.add (new ButtonAttachment (baseProcessor.valueTreeState, id, *toggle));
}

void KelvaneEditor::createEqGroup (int y, const juce::String& caption, int midGain, int midBypass, int sideGain,
                                   int sideBypass, int link, int linkOffset)
{
    createKnob ("KnobEQ_png", 214, y, caption, midGain);
    createToggle (309, y + 30, false, midBypass);
    createToggle (324, y + 30 + linkOffset, true, link);
    createToggle (339, y + 30, false, sideBypass);
    createKnob ("KnobEQ_png", 374, y, caption, sideGain);
}

std::unique_ptr<juce::Label> KelvaneEditor::createLabel (int x)
{
    auto label = std::make_unique<juce::Label> (juce::String(), "--");
    label->setFont (meterLabelFont);
    label->setJustificationType (juce::Justification::centred);
    label->setColour (juce::Label::textColourId, juce::Colours::black);

    // A value such as 0.937496 is wider than the 25-pixel label: the whole width is used and the
    // text is narrowed to fit, rather than cut to "0.9...".
    label->setBorderSize (juce::BorderSize<int> (0));
    label->setMinimumHorizontalScale (0.5f);
    label->setBounds (x, 535, 25, 15);
    addAndMakeVisible (*label);
    return label;
}

void KelvaneEditor::createMeters (std::initializer_list<int> meterIndices)
{
    for (const auto index : meterIndices)
    {
        if (index == correlationMeter || index == balanceMeter)
        {
            const auto correlation = index == correlationMeter;
            auto* meter = new HorizontalMeter (correlation ? "MeterPointCorr_png" : "MeterPointBal_png", "MeterPointOff_png",
                                               { 880, correlation ? 625 : 605, 110, 15 });

            // The correlation pointer has three frames: red, amber and green.
            if (correlation)
            {
                meter->frameCount = 3;
                meter->frameWidth = (float) meter->pointerImage.getWidth() / 3.0f;
            }

            addMeter (meter, index);
            continue;
        }

        const auto& place = verticalMeters[index];
        auto* meter = new VerticalMeter (place.onImage, place.offImage, { place.x, meterTop, place.width, meterHeight });

        if (place.fillFromTop)
        {
            meter->fillFromTop = true;
            meter->repaint();
        }

        if (index == rmsMeterLeftIndex)
            rmsMeterLeft = meter;
        else if (index == rmsMeterRightIndex)
            rmsMeterRight = meter;

        addMeter (meter, index);
    }
}

void KelvaneEditor::createMeterScaleList()
{
    auto* dropDown = new DropDown();
    dropDown->setBounds (875, 560, 120, 15);
    auto* parameter = baseProcessor.valueTreeState.getParameter ("MetSwi");

    if (parameter != nullptr)
        dropDown->addItemList (parameter->getAllValueStrings(), 1);

    addAndMakeVisible (dropDown);
    dropDowns.add (dropDown);
    dropDown->setComponentID ("MetSwi");

    if (parameter != nullptr)
        comboBoxAttachments.add (new ComboBoxAttachment (baseProcessor.valueTreeState, "MetSwi", *dropDown));
}

void KelvaneEditor::attachLabel (juce::Label& label, int meterIndex)
{
    if (auto* meter = meters[meterIndex])
    {
        meter->label = &label;

        // Unchanged, so the label keeps its "--" until the meter first moves.
        meter->setValue (meter->value);
    }
}

void KelvaneEditor::showMeterScale (float scaleChoice)
{
    const auto column = scaleColumn (scaleChoice);
    const auto alignment = column == 0 ? juce::RectanglePlacement::xLeft
                                       : (column == 1 ? juce::RectanglePlacement::xMid : juce::RectanglePlacement::xRight);

    // The 120-pixel-wide picture drawn at half size fills the 510-pixel height, so exactly one
    // 20-pixel scale shows through the 20-pixel-wide component.
    meterScale->setImagePlacement (juce::RectanglePlacement::fillDestination | alignment);

    for (auto* meter : { rmsMeterLeft, rmsMeterRight })
    {
        if (meter != nullptr)
        {
            meter->frameIndex = column;
            meter->repaint();
        }
    }
}

} // namespace OSK

#endif
