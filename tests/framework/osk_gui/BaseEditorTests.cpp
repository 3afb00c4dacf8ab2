// The base editor on the product's processor: frame geometry, the fixed size, the bottom bar,
// the About panel and the answer to the host's question which parameter a control stands for.

#include "framework/osk_gui/GuiTestSupport.h"
#include "osk_gui/BaseEditor.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct BaseEditorOnProduct : ::testing::Test
{
    // Adds a knob bound to a parameter, as the product editor does.
    OSK::Knob& addKnob (const juce::String& parameterId, int x, int y)
    {
        auto* knob = editor.knobs.add (new OSK::Knob ("KnobComp_png", x, y));
        editor.addAndMakeVisible (knob);
        knob->setComponentID (parameterId);
        editor.sliderAttachments.add (new OSK::BaseEditor::SliderAttachment (processor.valueTreeState, parameterId, *knob));
        return *knob;
    }

    // The component that a click at (x, y) reaches, with the editor shown as a host shows it.
    juce::Component* frontmostAt (int x, int y)
    {
        editor.setVisible (true);
        return editor.getComponentAt (x, y);
    }

    OSK::KelvaneProcessor processor;
    OSK::BaseEditor editor { processor };
};
} // namespace

TEST_F (BaseEditorOnProduct, TakesItsSizeFromTheBackgroundImage)
{
    EXPECT_EQ (editor.editorWidth, 1040);
    EXPECT_EQ (editor.editorHeight, 699);
    EXPECT_EQ (editor.bottomBarHeight, 29);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 1040, 699));
    EXPECT_TRUE (editor.isOpaque());
}

TEST_F (BaseEditorOnProduct, LaysOutTheFrame)
{
    EXPECT_EQ (editor.background.getBounds(), juce::Rectangle<int> (0, 0, 1040, 670));
    EXPECT_EQ (editor.about.getBounds(), juce::Rectangle<int> (0, 0, 1040, 670));
    EXPECT_EQ (editor.bannerButton.getBounds(), juce::Rectangle<int> (2, 672, 171, 27));
    EXPECT_EQ (editor.settingsButton.getBounds(), juce::Rectangle<int> (994, 671, 23, 27));
    EXPECT_EQ (editor.logoButton.getBounds(), juce::Rectangle<int> (115, 105, 75, 75));
    EXPECT_EQ (editor.logoButton.getName(), "TransparentButton");
    EXPECT_EQ (editor.bannerButton.numFrames, 2);
    EXPECT_EQ (editor.settingsButton.numFrames, 2);
    EXPECT_EQ (editor.settingsButton.frameHeight, 54);
}

TEST_F (BaseEditorOnProduct, StacksAboutBackgroundThenTheBottomBarButtons)
{
    ASSERT_EQ (editor.getNumChildComponents(), 5);
    EXPECT_EQ (editor.getChildComponent (0), &editor.about);
    EXPECT_EQ (editor.getChildComponent (1), &editor.background);
    EXPECT_EQ (editor.getChildComponent (2), &editor.bannerButton);
    EXPECT_EQ (editor.getChildComponent (3), &editor.settingsButton);
    EXPECT_EQ (editor.getChildComponent (4), &editor.logoButton);
    EXPECT_FALSE (editor.isTimerRunning());
}

TEST_F (BaseEditorOnProduct, AnswersAResizeWithTheSameSize)
{
    editor.setSize (800, 600);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 1040, 699));

    editor.setBounds (30, 40, 1200, 900);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 1040, 699));
    EXPECT_EQ (editor.background.getBounds(), juce::Rectangle<int> (0, 0, 1040, 670));
}

TEST_F (BaseEditorOnProduct, BottomBarIsBlackAndThePanelIsNot)
{
    const auto image = KelvaneTest::snapshot (editor);

    // Between the banner (ends at x 173) and the settings button (starts at x 994).
    for (int y = 670; y < 699; ++y)
        for (int x = 180; x < 990; x += 7)
            ASSERT_EQ (image.getPixelAt (x, y), juce::Colours::black) << x << ", " << y;

    // The panel is light where the editor writes black text: under the knobs, the meter labels
    // and the scale list.
    for (auto point : { juce::Point<int> (75, 112), juce::Point<int> (565, 212), juce::Point<int> (887, 542),
                        juce::Point<int> (935, 567) })
        EXPECT_GT (image.getPixelAt (point.x, point.y).getPerceivedBrightness(), 0.8f) << point.toString();
}

TEST_F (BaseEditorOnProduct, LogoButtonShowsAboutAndAClickHidesIt)
{
    ASSERT_EQ (frontmostAt (500, 300), &editor.background);

    KelvaneTest::click (editor.logoButton);
    EXPECT_EQ (editor.getChildComponent (editor.getNumChildComponents() - 1), &editor.about);
    EXPECT_EQ (frontmostAt (500, 300), &editor.about);
    EXPECT_EQ (frontmostAt (150, 140), &editor.about); // over the logo button too
    EXPECT_EQ (frontmostAt (80, 685), &editor.bannerButton); // the bottom bar stays reachable
    EXPECT_EQ (frontmostAt (1000, 685), &editor.settingsButton);

    // A click lands on whatever is frontmost: the panel, which hides itself.
    auto* target = frontmostAt (640, 420);
    KelvaneTest::click (*target);
    EXPECT_EQ (editor.getChildComponent (0), &editor.about);
    EXPECT_EQ (frontmostAt (500, 300), &editor.background);
}

TEST_F (BaseEditorOnProduct, ControlParameterIndexIsTheHostIndex)
{
    auto& ratio = addKnob ("Ratio", 39, 164);
    EXPECT_EQ (editor.getControlParameterIndex (ratio), 2); // its product index is 4

    OSK::Toggle highShelfBypass ("SwitchRed_png");
    highShelfBypass.setComponentID ("MHiShByp");
    editor.buttonAttachments.add (new OSK::BaseEditor::ButtonAttachment (processor.valueTreeState, "MHiShByp", highShelfBypass));
    EXPECT_EQ (editor.getControlParameterIndex (highShelfBypass), 7); // its product index is 14
    editor.buttonAttachments.clear();
}

TEST_F (BaseEditorOnProduct, ControlParameterIndexIsMinusOneWithoutAParameter)
{
    OSK::Toggle unknown ("SwitchRed_png");
    unknown.setComponentID ("NoSuchParameter");

    EXPECT_EQ (editor.getControlParameterIndex (editor.background), -1);
    EXPECT_EQ (editor.getControlParameterIndex (editor.logoButton), -1);
    EXPECT_EQ (editor.getControlParameterIndex (editor.about), -1);
    EXPECT_EQ (editor.getControlParameterIndex (unknown), -1);
}

TEST_F (BaseEditorOnProduct, AttachedKnobTakesTheParametersRangeAndText)
{
    auto& ratio = addKnob ("Ratio", 39, 164);
    processor.valueTreeState.getParameter ("Ratio")->setValueNotifyingHost (0.5f);

    EXPECT_DOUBLE_EQ (ratio.getValue(), 0.5);
    EXPECT_EQ (ratio.getTextFromValue (ratio.getValue()), processor.valueTreeState.getParameter ("Ratio")->getText (0.5f, 0));
}

TEST_F (BaseEditorOnProduct, RightClickAndSettingsButtonAskForTheSettingsMenu)
{
    int requests = 0;
    editor.onSettingsMenuRequested = [&requests] { ++requests; };

    editor.mouseUp (KelvaneTest::mouseEventAt (editor.background, { 300.0f, 300.0f }, juce::ModifierKeys::leftButtonModifier));
    EXPECT_EQ (requests, 0);

    editor.mouseUp (KelvaneTest::mouseEventAt (editor.background, { 300.0f, 300.0f }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_EQ (requests, 1);

    KelvaneTest::click (editor.settingsButton);
    EXPECT_EQ (requests, 2);
}

TEST_F (BaseEditorOnProduct, VersionIsOnTheAboutPanel)
{
    EXPECT_EQ (editor.about.versionLabel.getText(), "VERSION 3.0.0 BUILD 336");
}
