#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** A knob's value box: a label whose text editor keeps typed text centred, like the value it
    shows. Message thread only. */
class CustomLabel : public juce::Label
{
public:
    /** An empty label; the knob's look styles it (message thread). */
    CustomLabel() = default;

    /** Lets the label create its editor, then centres the editor's text (message thread). */
    juce::TextEditor* createEditorComponent() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLabel)
};

} // namespace OSK
