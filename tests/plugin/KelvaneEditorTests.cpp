// The Kelvane panel: every control at its place and bound to its parameter, the meters with their
// pictures, the K-scale switch, the value labels, the user's settings applied on opening, and the
// texts of the information box and of the preset export.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/HorizontalMeter.h"
#include "plugin/KelvaneEditor.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using OSK::EmbeddedResources::productImage;

namespace
{
struct KelvanePanel : ::testing::Test
{
    KelvanePanel() { open(); }

    ~KelvanePanel() override
    {
        close();
        juce::Desktop::getInstance().setGlobalScaleFactor (1.0f);
    }

    // Opens the editor as a host does, through the processor.
    void open()
    {
        close();
        created.reset (processor.createEditorIfNeeded());
        editor = dynamic_cast<OSK::KelvaneEditor*> (created.get());
        ASSERT_NE (editor, nullptr);
    }

    void close()
    {
        if (created != nullptr)
            processor.editorBeingDeleted (created.get());

        created.reset();
        editor = nullptr;
    }

    OSK::Knob* knob (const juce::String& id)
    {
        for (auto* k : editor->knobs)
            if (k->getComponentID() == id)
                return k;

        ADD_FAILURE() << "no knob " << id;
        return nullptr;
    }

    OSK::Toggle* toggle (const juce::String& id)
    {
        for (auto* t : editor->toggles)
            if (t->getComponentID() == id)
                return t;

        ADD_FAILURE() << "no toggle " << id;
        return nullptr;
    }

    void setChoice (const juce::String& id, int index)
    {
        auto* parameter = processor.valueTreeState.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 ((float) index));
    }

    KelvaneTest::ScopedSettingsFolder settingsFolder;
    OSK::KelvaneProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> created;
    OSK::KelvaneEditor* editor = nullptr;
};

struct KnobPlace
{
    const char* id;
    const char* filmStrip;
    int x, y;
    const char* caption;
};

// In creation order, which is also the order of the preset export.
const KnobPlace knobPlaces[] {
    { "Thresh", "KnobExp_png", 39, 29, "Thresh" },
    { "Ratio", "KnobExp_png", 39, 164, "Ratio" },
    { "Attack", "KnobExp_png", 39, 299, "Attack" },
    { "Release", "KnobExp_png", 39, 429, "Release" },
    { "MHiShlf", "KnobEQ_png", 214, 29, "HiSh" },
    { "SHiShlf", "KnobEQ_png", 374, 29, "HiSh" },
    { "MHiBand", "KnobEQ_png", 214, 129, "High" },
    { "SHiBand", "KnobEQ_png", 374, 129, "High" },
    { "MMidBand", "KnobEQ_png", 214, 229, "Mid" },
    { "SMidBand", "KnobEQ_png", 374, 229, "Mid" },
    { "MLoBand", "KnobEQ_png", 214, 329, "Low" },
    { "SLoBand", "KnobEQ_png", 374, 329, "Low" },
    { "MLowShlf", "KnobEQ_png", 214, 429, "LowSh" },
    { "SLowShlf", "KnobEQ_png", 374, 429, "LowSh" },
    { "MGain", "KnobEQ_png", 214, 529, "Gain" },
    { "SGain", "KnobEQ_png", 374, 529, "Gain" },
    { "CompThr", "KnobComp_png", 529, 29, "Thress" },
    { "CompRtio", "KnobComp_png", 529, 129, "Ratio" },
    { "CompAtt", "KnobComp_png", 529, 229, "Attack" },
    { "CompRel", "KnobComp_png", 529, 329, "Release" },
    { "CompGain", "KnobComp_png", 529, 429, "Gain" },
    { "LGain", "KnobLim_png", 699, 29, "Gain" },
    { "LCeil", "KnobLim_png", 699, 164, "Ceil" },
    { "LRel", "KnobLim_png", 699, 299, "Release" },
    { "MakeUp", "KnobLim_png", 699, 429, "MakeUp" },
};

struct TogglePlace
{
    const char* id;
    int x, y;
    bool yellow;
};

const TogglePlace togglePlaces[] {
    { "Power", 50, 634, false }, { "ExpByp", 50, 549, false },
    { "MHiShByp", 309, 59, false }, { "HgSlfLnk", 324, 59, true }, { "SHiShByp", 339, 59, false },
    { "MHiBdByp", 309, 159, false }, { "HgBndLnk", 324, 159, true }, { "SHiBdByp", 339, 159, false },
    { "MMdBdByp", 309, 259, false }, { "MdBndLnk", 324, 259, true }, { "SMdBdByp", 339, 259, false },
    { "MLwBdByp", 309, 359, false }, { "LwBndLnk", 324, 359, true }, { "SLwBdByp", 339, 359, false },
    { "MLwShByp", 309, 459, false }, { "LwSlfLnk", 324, 459, true }, { "SLwShByp", 339, 459, false },
    { "MGainByp", 309, 559, false }, { "GainLnk", 324, 549, true }, { "SGainByp", 339, 559, false },
    { "GainInvr", 324, 569, true }, { "MidByp", 245, 629, false }, { "MidSolo", 245, 649, true },
    { "SideByp", 405, 629, false }, { "SideSolo", 405, 649, true }, { "L/R|M/S", 310, 629, false },
    { "EQ Mode", 340, 629, true }, { "CAG", 540, 544, true }, { "CByp", 540, 564, false }, { "LByp", 710, 544, false },
};

struct MeterPlace
{
    const char* onImage;
    const char* offImage;
    juce::Rectangle<int> bounds;
    bool fillFromTop;
};

const MeterPlace meterPlaces[] {
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 135, 25, 5, 500 }, false },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 145, 25, 5, 500 }, false },
    { "MeterSGROn_png", "MeterSGROff_png", { 165, 25, 5, 500 }, true },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 475, 25, 5, 500 }, false },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 485, 25, 5, 500 }, false },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 625, 25, 5, 500 }, false },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 635, 25, 5, 500 }, false },
    { "MeterSGROn_png", "MeterSGROff_png", { 655, 25, 5, 500 }, true },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 795, 25, 5, 500 }, false },
    { "MeterSPeakOn_png", "MeterSPeakOff_png", { 805, 25, 5, 500 }, false },
    { "MeterSGROn_png", "MeterSGROff_png", { 825, 25, 5, 500 }, true },
    { "MeterMPeakOn_png", "MeterMPeakOff_png", { 890, 25, 10, 500 }, false },
    { "MeterMPeakOn_png", "MeterMPeakOff_png", { 970, 25, 10, 500 }, false },
    { "MeterLMainOn_png", "MeterLMainOff_png", { 905, 25, 20, 500 }, false },
    { "MeterLMainOn_png", "MeterLMainOff_png", { 945, 25, 20, 500 }, false },
    { "MeterPointCorr_png", "MeterPointOff_png", { 880, 625, 110, 15 }, false },
    { "MeterPointBal_png", "MeterPointOff_png", { 880, 605, 110, 15 }, false },
};

juce::StringArray linesOf (const juce::String& text)
{
    return juce::StringArray::fromTokens (text, "\n", {});
}
} // namespace

//==============================================================================
TEST_F (KelvanePanel, ProcessorOpensTheKelvaneEditor)
{
    EXPECT_EQ (processor.getActiveEditor(), editor);
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 1040, 699));
    EXPECT_TRUE (editor->getWantsKeyboardFocus());
    EXPECT_EQ (editor->logoButton.getBounds(), juce::Rectangle<int> (33, 583, 145, 40));
    EXPECT_EQ (editor->about.versionLabel.getPosition(), juce::Point<int> (830, 35));
    EXPECT_TRUE (editor->isTimerRunning());
}

TEST_F (KelvanePanel, HasTwentyFiveKnobsThirtyTogglesOneListAndSeventeenMeters)
{
    EXPECT_EQ (editor->knobs.size(), 25);
    EXPECT_EQ (editor->toggles.size(), 30);
    EXPECT_EQ (editor->dropDowns.size(), 1);
    EXPECT_EQ (editor->meters.size(), 17);
    EXPECT_EQ (editor->sliderAttachments.size(), 25);
    EXPECT_EQ (editor->buttonAttachments.size(), 30);
    EXPECT_EQ (editor->comboBoxAttachments.size(), 1);
    EXPECT_EQ (editor->clipLamps.size(), 0);

    auto equaliserKnobs = 0;

    for (auto* k : editor->knobs)
        equaliserKnobs += (k->getX() == 214 || k->getX() == 374) ? 1 : 0;

    EXPECT_EQ (equaliserKnobs, 12);
    EXPECT_EQ (editor->knobs.size() - equaliserKnobs, 13);

    for (int index = 0; index <= 16; ++index)
        EXPECT_NE (editor->meters[index], nullptr) << "meter " << index;
}

TEST_F (KelvanePanel, EveryControlCarriesItsParameterIdAndTheHostFindsIt)
{
    std::vector<juce::Component*> controls;
    controls.insert (controls.end(), editor->knobs.begin(), editor->knobs.end());
    controls.insert (controls.end(), editor->toggles.begin(), editor->toggles.end());
    controls.insert (controls.end(), editor->dropDowns.begin(), editor->dropDowns.end());

    std::set<juce::String> ids;

    for (auto* control : controls)
    {
        const auto id = control->getComponentID();
        auto* parameter = processor.valueTreeState.getParameter (id);
        ASSERT_NE (parameter, nullptr) << id;
        EXPECT_EQ (editor->getControlParameterIndex (*control), parameter->getParameterIndex()) << id;
        EXPECT_GE (editor->getControlParameterIndex (*control), 0) << id;
        ids.insert (id);
    }

    // Every one of the 56 parameters has exactly one control.
    EXPECT_EQ (ids.size(), controls.size());
    EXPECT_EQ (ids.size(), (size_t) OSK::numKelvaneParameters);

    for (int index = 0; index <= 16; ++index)
        EXPECT_EQ (editor->getControlParameterIndex (*editor->meters[index]), -1);
}

TEST_F (KelvanePanel, KnobsSitWhereThePanelPrintsThemWithTheirCaptions)
{
    ASSERT_EQ (editor->knobs.size(), (int) std::size (knobPlaces));

    for (int i = 0; i < editor->knobs.size(); ++i)
    {
        const auto& place = knobPlaces[i];
        const auto* k = editor->knobs[i];
        EXPECT_EQ (k->getComponentID(), place.id);
        EXPECT_EQ (k->getBounds(), juce::Rectangle<int> (place.x, place.y, 72, 91)) << place.id;
        EXPECT_EQ (k->label, place.caption) << place.id;
        EXPECT_EQ (k->labelFont, &editor->knobLabelFont) << place.id;
        EXPECT_EQ (k->labelColour, juce::Colour (0xff8a8a8a)) << place.id;
        EXPECT_TRUE (k->filmStrip == productImage (place.filmStrip)) << place.id;
        ASSERT_NE (k->lookAndFeel, nullptr) << place.id;
        EXPECT_EQ (&k->getLookAndFeel(), k->lookAndFeel.get()) << place.id;
        EXPECT_EQ (k->lookAndFeel->font, &editor->knobValueFont) << place.id;
        EXPECT_EQ (k->getTextBoxPosition(), juce::Slider::TextBoxBelow) << place.id;
        EXPECT_TRUE (k->isTextBoxEditable()) << place.id;
    }

    EXPECT_EQ (knob ("CompThr")->label, "Thress");
    EXPECT_EQ (knob ("Thresh")->label, "Thresh");
    EXPECT_FLOAT_EQ (editor->meterLabelFont.getHeight(), 11.0f);
    EXPECT_FLOAT_EQ (editor->knobLabelFont.getHeight(), 12.0f);
    EXPECT_FLOAT_EQ (editor->knobValueFont.getHeight(), 13.0f);
}

TEST_F (KelvanePanel, TogglesSitWhereThePanelPrintsThem)
{
    const auto yellow = productImage ("SwitchYellow_png");
    const auto red = productImage ("SwitchRed_png");
    ASSERT_EQ (editor->toggles.size(), (int) std::size (togglePlaces));

    for (int i = 0; i < editor->toggles.size(); ++i)
    {
        const auto& place = togglePlaces[i];
        const auto* t = editor->toggles[i];
        EXPECT_EQ (t->getComponentID(), place.id);
        EXPECT_EQ (t->getBounds(), juce::Rectangle<int> (place.x, place.y, 12, 12)) << place.id;
        EXPECT_TRUE (t->image == (place.yellow ? yellow : red)) << place.id;
        EXPECT_TRUE (t->inverted) << place.id;
    }

    // The "Gain" row's link switch sits 10 pixels higher than the other rows' (at y + 30).
    EXPECT_EQ (toggle ("GainLnk")->getY(), 549);
    EXPECT_EQ (toggle ("HgSlfLnk")->getY(), 29 + 30);
    EXPECT_EQ (toggle ("LwSlfLnk")->getY(), 429 + 30);
}

TEST_F (KelvanePanel, TogglesFollowTheirParametersAndShowTheLitFrameWhenOn)
{
    auto* power = toggle ("Power");
    EXPECT_TRUE (power->getToggleState());

    processor.valueTreeState.getParameter ("ExpByp")->setValueNotifyingHost (1.0f);
    EXPECT_TRUE (toggle ("ExpByp")->getToggleState());

    // On: the lit lower frame; off: the unlit top frame.
    const auto litFrame = KelvaneTest::drawnFrame (power->image, { 0, 24, 24, 24 }, 12, 12);
    const auto unlitFrame = KelvaneTest::drawnFrame (power->image, { 0, 0, 24, 24 }, 12, 12);
    EXPECT_EQ (KelvaneTest::countDifferentPixels (KelvaneTest::snapshot (*power), litFrame), 0);

    power->setToggleState (false, juce::sendNotificationSync);
    EXPECT_EQ (processor.valueTreeState.getParameter ("Power")->getValue(), 0.0f);
    EXPECT_EQ (KelvaneTest::countDifferentPixels (KelvaneTest::snapshot (*power), unlitFrame), 0);
}

TEST_F (KelvanePanel, MetersSitOnThePanelWithTheirPictures)
{
    for (int index = 0; index <= 16; ++index)
    {
        const auto& place = meterPlaces[index];
        auto* meter = editor->meters[index];
        ASSERT_NE (meter, nullptr);
        EXPECT_EQ (meter->getBounds(), place.bounds) << "meter " << index;
        EXPECT_EQ (meter->getParentComponent(), editor) << "meter " << index;

        if (index >= 15)
        {
            auto* pointer = dynamic_cast<OSK::HorizontalMeter*> (meter);
            ASSERT_NE (pointer, nullptr) << "meter " << index;
            EXPECT_TRUE (pointer->pointerImage == productImage (place.onImage)) << "meter " << index;
            EXPECT_TRUE (pointer->backgroundImage == productImage (place.offImage)) << "meter " << index;
            continue;
        }

        auto* bar = dynamic_cast<OSK::VerticalMeter*> (meter);
        ASSERT_NE (bar, nullptr) << "meter " << index;
        EXPECT_TRUE (bar->onImage == productImage (place.onImage)) << "meter " << index;
        EXPECT_TRUE (bar->offImage == productImage (place.offImage)) << "meter " << index;
        EXPECT_EQ (bar->fillFromTop, place.fillFromTop) << "meter " << index;
    }

    auto* correlation = dynamic_cast<OSK::HorizontalMeter*> (editor->meters[15]);
    auto* balance = dynamic_cast<OSK::HorizontalMeter*> (editor->meters[16]);
    EXPECT_EQ (correlation->frameCount, 3);
    EXPECT_EQ (correlation->frameWidth, 8.0f);
    EXPECT_EQ (balance->frameCount, 1);
    EXPECT_EQ (editor->rmsMeterLeft, editor->meters[13]);
    EXPECT_EQ (editor->rmsMeterRight, editor->meters[14]);
}

TEST_F (KelvanePanel, ScaleListOffersTheThreeKScales)
{
    auto* list = editor->dropDowns[0];
    EXPECT_EQ (list->getBounds(), juce::Rectangle<int> (875, 560, 120, 15));
    EXPECT_EQ (list->getComponentID(), "MetSwi");
    ASSERT_EQ (list->getNumItems(), 3);

    const char* const names[] { "K-20", "K-14", "K-12" };

    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (list->getItemText (i), names[i]);
        EXPECT_EQ (list->getItemId (i), i + 1);
    }

    EXPECT_EQ (list->getText(), "K-20");
    setChoice ("MetSwi", 2);
    EXPECT_EQ (list->getText(), "K-12");
}

TEST_F (KelvanePanel, ScaleSwitchPicksTheScalePictureAndTheRmsMetersColumn)
{
    const auto scaleImage = productImage ("MeterScale_png");
    const struct
    {
        int choice;
        int column;
        int alignment;
    } cases[] { { 1, 1, juce::RectanglePlacement::xMid }, { 2, 2, juce::RectanglePlacement::xRight }, { 0, 0, juce::RectanglePlacement::xLeft } };

    EXPECT_EQ (editor->meterScale->getBounds(), juce::Rectangle<int> (925, 21, 20, 510));
    EXPECT_TRUE (editor->meterScale->getImage() == scaleImage);

    for (const auto& c : cases)
    {
        setChoice ("MetSwi", c.choice);

        EXPECT_EQ (editor->meterScale->getImagePlacement(),
                   juce::RectanglePlacement (juce::RectanglePlacement::fillDestination | c.alignment)) << "choice " << c.choice;
        EXPECT_EQ (editor->rmsMeterLeft->frameIndex, c.column) << "choice " << c.choice;
        EXPECT_EQ (editor->rmsMeterRight->frameIndex, c.column) << "choice " << c.choice;

        // Exactly one 40-pixel scale of the picture shows through, at half size.
        const auto expected = KelvaneTest::drawnFrame (scaleImage, { 40 * c.column, 0, 40, 1020 }, 20, 510);
        EXPECT_LT (KelvaneTest::countDifferentPixels (KelvaneTest::snapshot (*editor->meterScale), expected), 20)
            << "choice " << c.choice;
    }

    // The list drives it too.
    editor->dropDowns[0]->setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (editor->rmsMeterLeft->frameIndex, 1);
}

TEST_F (KelvanePanel, ScaleMatchesTheParameterFromTheStart)
{
    setChoice ("MetSwi", 1);
    open();

    EXPECT_EQ (editor->rmsMeterLeft->frameIndex, 1);
    EXPECT_EQ (editor->rmsMeterRight->frameIndex, 1);
    EXPECT_EQ (editor->meterScale->getImagePlacement(),
               juce::RectanglePlacement (juce::RectanglePlacement::fillDestination | juce::RectanglePlacement::xMid));
}

TEST_F (KelvanePanel, ValueLabelsShowDashesUntilTheirMeterFirstChanges)
{
    const struct
    {
        juce::Label* label;
        int x;
        int meter;
    } labels[] {
        { editor->peakLabelLeft.get(), 875, 11 }, { editor->rmsLabelLeft.get(), 905, 13 },
        { editor->rmsLabelRight.get(), 940, 14 }, { editor->peakLabelRight.get(), 970, 12 },
    };

    for (const auto& l : labels)
    {
        ASSERT_NE (l.label, nullptr);
        EXPECT_EQ (l.label->getBounds(), juce::Rectangle<int> (l.x, 535, 25, 15));
        EXPECT_EQ (l.label->getText(), "--");
        EXPECT_FLOAT_EQ (l.label->getFont().getHeight(), 11.0f);
        EXPECT_EQ (l.label->getJustificationType(), juce::Justification::centred);
        EXPECT_EQ (l.label->findColour (juce::Label::textColourId), juce::Colours::black);
        EXPECT_EQ (editor->meters[l.meter]->label, l.label);
        EXPECT_EQ (l.label->getParentComponent(), editor);
    }

    // A refresh from an engine that has heard nothing: every meter reads silence, which is no change.
    editor->timerCallback();

    for (const auto& l : labels)
        EXPECT_EQ (l.label->getText(), "--") << "meter " << l.meter;

    editor->meters[11]->setValue (0.5);
    editor->meters[13]->setValue (1.0);
    editor->meters[14]->setValue (0.25);
    EXPECT_EQ (editor->peakLabelLeft->getText(), "0.5");
    EXPECT_EQ (editor->rmsLabelLeft->getText(), "1");
    EXPECT_EQ (editor->rmsLabelRight->getText(), "0.25");
    EXPECT_EQ (editor->peakLabelRight->getText(), "--");
}

//==============================================================================
TEST_F (KelvanePanel, OpensWithDefaultSettingsAndWritesNoFile)
{
    for (auto* k : editor->knobs)
    {
        EXPECT_EQ (k->getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
        EXPECT_EQ (k->getMouseDragSensitivity(), 215);
    }

    EXPECT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.0f);
    EXPECT_FALSE (settingsFolder.settingsFile().exists());
}

TEST_F (KelvanePanel, AppliesTheUsersSettingsToEveryKnobOnOpening)
{
    ASSERT_TRUE (settingsFolder.settingsFile().replaceWithText (
        R"({"knob_mode": "circular", "knob_sensitivity": "medium", "gui_size": "xl"})"));
    open();

    for (auto* k : editor->knobs)
    {
        EXPECT_EQ (k->getSliderStyle(), juce::Slider::Rotary) << k->getComponentID();
        EXPECT_EQ (k->getMouseDragSensitivity(), 290) << k->getComponentID();
    }

    EXPECT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.5f);
    EXPECT_EQ (editor->menu.uiSize, OSK::Menu::xl);
}

//==============================================================================
TEST_F (KelvanePanel, InformationTextDescribesAStereoInstanceAt44100Hz)
{
    processor.prepareToPlay (44100.0, 512);
    const auto lines = linesOf (editor->menu.getInformationText());

    ASSERT_EQ (lines.size(), 11);
    EXPECT_EQ (lines[0], "Plugin: Kelvane");
    EXPECT_EQ (lines[1], "Version: 3.0.0 BUILD 336");
    EXPECT_EQ (lines[2], "Format: Undefined"); // no plug-in wrapper in a test
    EXPECT_EQ (lines[3], "");
    EXPECT_EQ (lines[4], "OS: " + juce::SystemStats::getOperatingSystemName() + " (" + juce::SystemStats::getCpuModel()
                             + " " + juce::SystemStats::getCpuVendor() + ")");
    EXPECT_EQ (lines[5], "");
    EXPECT_EQ (lines[6], "Host: " + juce::String (juce::PluginHostType().getHostDescription()));
    EXPECT_EQ (lines[7], "");
    EXPECT_EQ (lines[8], "Channel Config: 2-2");
    EXPECT_EQ (lines[9], "Blocksize: 512 Samples");
    EXPECT_EQ (lines[10], "Samplerate: 44100 Hz");
    EXPECT_FALSE (editor->menu.getInformationText().endsWithChar ('\n'));
}

TEST_F (KelvanePanel, InformationTextShowsZerosBeforeThePreparationAndWholeHertz)
{
    auto lines = linesOf (editor->menu.getInformationText());
    EXPECT_EQ (lines[8], "Channel Config: 0-0");
    EXPECT_EQ (lines[9], "Blocksize: 0 Samples");
    EXPECT_EQ (lines[10], "Samplerate: 0 Hz");

    processor.prepareToPlay (88200.7, 64);
    lines = linesOf (editor->menu.getInformationText());
    EXPECT_EQ (lines[9], "Blocksize: 64 Samples");
    EXPECT_EQ (lines[10], "Samplerate: 88200 Hz");
}

TEST_F (KelvanePanel, ExportOfAFreshEditorListsEveryControlWithCrLf)
{
    const auto text = editor->menu.getPresetText();

    EXPECT_TRUE (text.endsWith ("\r\n"));
    EXPECT_EQ (text.replace ("\r\n", "").indexOfChar ('\n'), -1) << "a line feed without a carriage return";
    EXPECT_EQ (text.replace ("\r\n", "").indexOfChar ('\r'), -1) << "a carriage return without a line feed";

    const auto lines = juce::StringArray::fromTokens (text.dropLastCharacters (2).replace ("\r\n", "\n"), "\n", {});

    ASSERT_EQ (lines.size(), 2 + 25 + 30);
    EXPECT_EQ (lines[0], "Preset for Kelvane");
    EXPECT_EQ (lines[1], "");
    EXPECT_EQ (lines[2], "Thresh: 0");
    EXPECT_EQ (lines[3], "Ratio: 0");
    EXPECT_EQ (lines[27], "Power: 1 On");

    for (int i = 0; i < 25; ++i)
        EXPECT_TRUE (lines[2 + i].startsWith (juce::String (knobPlaces[i].id) + ": ")) << lines[2 + i];

    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE (lines[27 + i].startsWith (juce::String (togglePlaces[i].id) + ": ")) << lines[27 + i];

    for (auto line : { "Release: 0.5", "MHiShlf: 0.5", "CompThr: 1", "LCeil: 1", "ExpByp: 0 Off", "HgSlfLnk: 1 On",
                       "EQ Mode: 1 FIR", "L/R|M/S: 0 L/R", "LByp: 0 Off" })
        EXPECT_TRUE (lines.contains (line)) << line;
}

TEST_F (KelvanePanel, ExportWritesKnobValuesAsShortDecimals)
{
    knob ("Ratio")->setValue (0.25, juce::sendNotificationSync);
    knob ("Thresh")->setValue (1.0, juce::sendNotificationSync);
    knob ("Attack")->setValue (0.5234567, juce::sendNotificationSync);
    toggle ("Power")->setToggleState (false, juce::sendNotificationSync);

    const auto text = editor->menu.getPresetText();
    EXPECT_TRUE (text.contains ("\r\nRatio: 0.25\r\n"));
    EXPECT_TRUE (text.contains ("\r\nThresh: 1\r\n"));
    EXPECT_TRUE (text.contains ("\r\nAttack: 0.523457\r\n"));
    EXPECT_TRUE (text.contains ("\r\nPower: 0 Off\r\n"));
}

TEST_F (KelvanePanel, ExportFileHoldsExactlyTheExportText)
{
    const auto file = settingsFolder.folder.getChildFile ("My Master.h");
    ASSERT_TRUE (file.replaceWithText (juce::String::repeatedString ("older and longer ", 400)));

    ASSERT_TRUE (editor->menu.writePresetFile (file));

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    EXPECT_EQ (bytes.toString(), editor->menu.getPresetText());
    EXPECT_TRUE (bytes.toString().startsWith ("Preset for Kelvane\r\n\r\nThresh: 0\r\nRatio: 0\r\n"));
}
