// The preset bar: a list of the factory programs that applies the chosen one. The base editor
// builds and places it in the bottom bar but does not show it.

#include "osk_gui/BaseEditor.h"
#include "plugin/KelvaneProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct PresetBar : ::testing::Test
{
    OSK::KelvaneProcessor processor;
    OSK::BaseEditor editor { processor };
    juce::ComboBox& list = editor.presetManager.programList;
};
} // namespace

TEST_F (PresetBar, ListsTheProgramsWithIdsFromOneAndNoneSelected)
{
    const char* const names[] { "Default", "Alpenfrisch", "BergPanorama", "Eisbock", "Pfundig", "Almenrausch" };

    ASSERT_EQ (list.getNumItems(), 6);

    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ (list.getItemId (i), i + 1);
        EXPECT_EQ (list.getItemText (i), names[i]);
    }

    EXPECT_EQ (list.getSelectedId(), 0);
    EXPECT_EQ (list.getTextWhenNothingSelected(), "No preset Selected");
    EXPECT_EQ (list.getText(), "");
}

TEST_F (PresetBar, IsPlacedInTheBottomBarButNotShown)
{
    EXPECT_EQ (editor.presetManager.getBounds(), juce::Rectangle<int> (540, 671, 120, 20));
    EXPECT_EQ (list.getBounds(), juce::Rectangle<int> (0, 0, 120, 20));
    EXPECT_EQ (list.getParentComponent(), &editor.presetManager);
    EXPECT_EQ (editor.presetManager.getParentComponent(), nullptr);
    EXPECT_EQ (editor.getIndexOfChildComponent (&editor.presetManager), -1);
}

TEST_F (PresetBar, ChoosingTheThirdItemAppliesProgramTwo)
{
    processor.ignoreNextProgramChange = false; // as after the host's first program call

    list.setSelectedId (3, juce::sendNotificationSync);

    EXPECT_EQ (processor.getCurrentProgram(), 2);
    const auto& program = processor.programs[2];

    for (int k = 0; k < program.numValues; ++k)
        EXPECT_FLOAT_EQ (processor.valueTreeState.getParameter (processor.parameterIds[(size_t) k])->getValue(),
                         program.values[(size_t) k])
            << processor.parameterIds[(size_t) k];
}
