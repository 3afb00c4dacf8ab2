#include "osk_gui/TransparentButton.h"

namespace OSK
{
TransparentButton::TransparentButton()
    : juce::Button ("TransparentButton")
{
}

void TransparentButton::paintButton (juce::Graphics&, bool, bool)
{
}

} // namespace OSK
