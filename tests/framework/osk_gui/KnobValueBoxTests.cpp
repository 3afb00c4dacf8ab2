// The value box under a knob, as the knob's own look lays it out and styles it.

#include "osk_gui/CustomLabel.h"
#include "osk_gui/EmbeddedResources.h"
#include "osk_gui/Knob.h"

#include <gtest/gtest.h>

namespace
{
// A knob set up the way the product editor sets up each of its knobs.
struct KnobWithValueBox : ::testing::Test
{
    KnobWithValueBox()
    {
        knob.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 72, 15);
        knob.setBounds (529, 129, 72, 91);
        knob.lookAndFeel = std::make_unique<OSK::KnobLookAndFeel> (&valueFont);
        knob.setLookAndFeel (knob.lookAndFeel.get());
        knob.setRange (0.0, 1.0);
    }

    OSK::CustomLabel* valueBox()
    {
        for (auto* child : knob.getChildren())
            if (auto* label = dynamic_cast<OSK::CustomLabel*> (child))
                return label;

        return nullptr;
    }

    const juce::Font valueFont = juce::Font (OSK::EmbeddedResources::createInterfaceTypeface()).withHeight (13.0f);
    OSK::Knob knob { "KnobComp_png", 529, 129 };
};
} // namespace

TEST_F (KnobWithValueBox, LayoutGivesTheWholeKnobToTheSliderAndTheBoxBelow)
{
    const auto layout = knob.lookAndFeel->getSliderLayout (knob);
    EXPECT_EQ (layout.sliderBounds, juce::Rectangle<int> (0, 0, 72, 91));
    EXPECT_EQ (layout.textBoxBounds, juce::Rectangle<int> (0, 76, 72, 15));

    auto* box = valueBox();
    ASSERT_NE (box, nullptr);
    EXPECT_EQ (box->getBounds(), juce::Rectangle<int> (0, 76, 72, 15));
}

TEST_F (KnobWithValueBox, BoxShowsBlackCentredTextInTheLooksFont)
{
    auto* box = valueBox();
    ASSERT_NE (box, nullptr);

    EXPECT_EQ (box->getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (box->getFont(), valueFont);
    EXPECT_EQ (box->findColour (juce::Label::textColourId), juce::Colour (0xff000000));
    EXPECT_EQ (box->findColour (juce::Label::textWhenEditingColourId), juce::Colour (0xff000000));
    EXPECT_EQ (box->findColour (juce::Label::outlineColourId), juce::Colour (0x00000000));
    EXPECT_EQ (box->findColour (juce::TextEditor::textColourId), juce::Colour (0xff000000));
    EXPECT_EQ (box->findColour (juce::TextEditor::highlightedTextColourId), juce::Colour (0xff000000));
    EXPECT_EQ (box->findColour (juce::TextEditor::outlineColourId), juce::Colour (0x00000000));
    EXPECT_EQ (box->findColour (juce::TextEditor::focusedOutlineColourId), juce::Colour (0x00000000));
    EXPECT_EQ (box->findColour (juce::TextEditor::highlightColourId), juce::Colour (0xffb4d7ff));
}

TEST_F (KnobWithValueBox, TypedTextStaysCentred)
{
    auto* box = valueBox();
    ASSERT_NE (box, nullptr);
    ASSERT_TRUE (box->isEditable());

    box->showEditor();
    auto* editor = box->getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getJustificationType(), juce::Justification::centred);
    box->hideEditor (true);
}

TEST_F (KnobWithValueBox, KnobDrawsWithItsOwnLook)
{
    EXPECT_EQ (&knob.getLookAndFeel(), knob.lookAndFeel.get());
}
