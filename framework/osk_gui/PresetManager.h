#pragma once

#include "osk_base_processor/BaseProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** The preset bar: a list of the processor's factory programs that applies the chosen one through
    the processor's program interface. The base editor builds and places it in the bottom bar but
    does not show it; hosts choose programs through their own program interface, which reaches the
    same operation. Message thread only. */
class PresetManager : public juce::Component
{
public:
    /** Fills the list with one item per program (IDs 1 to the number of programs), none selected (message thread). */
    explicit PresetManager (BaseProcessor& processorToControl);

    /** The list fills the component (message thread). */
    void resized() override;

    BaseProcessor& processor;
    juce::ComboBox programList;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetManager)
};

} // namespace OSK
