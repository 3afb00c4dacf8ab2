#include "osk_gui/PresetManager.h"

namespace OSK
{
PresetManager::PresetManager (BaseProcessor& processorToControl)
    : processor (processorToControl)
{
    for (int index = 0; index < processor.getNumPrograms(); ++index)
        programList.addItem (processor.getProgramName (index), index + 1);

    programList.setTextWhenNothingSelected ("No preset Selected");
    addAndMakeVisible (programList);

    programList.onChange = [this]
    {
        const auto index = programList.getSelectedItemIndex();

        if (index >= 0)
            processor.setCurrentProgram (index);
    };
}

void PresetManager::resized()
{
    programList.setBounds (getLocalBounds());
}

} // namespace OSK
