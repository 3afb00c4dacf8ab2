#include "osk_gui/Meter.h"

namespace OSK
{
void Meter::setValue (double newValue)
{
    // Compared after limiting: the engine reads far below 0 for silence (−5.52), which is stored
    // as 0, so a silent or pinned meter must count as unchanged and cost no drawing.
    const auto limited = juce::jlimit (0.0, 1.0, newValue);

    if (juce::approximatelyEqual (limited, value))
        return;

    value = limited;

    if (label != nullptr)
        label->setText (valueToText ? valueToText (value) : juce::String (value), juce::dontSendNotification);

    repaint();
}

} // namespace OSK
