#include "osk_gui/CustomLabel.h"

namespace OSK
{
juce::TextEditor* CustomLabel::createEditorComponent()
{
    auto* textEditor = juce::Label::createEditorComponent();

    if (textEditor != nullptr && textEditor->getJustificationType() != juce::Justification::centred)
    {
        textEditor->setJustification (juce::Justification::centred);
        textEditor->repaint();
    }

    return textEditor;
}

} // namespace OSK
