#include "osk_gui/DropDown.h"

namespace OSK
{
DropDown::DropDown()
{
    setColour (juce::ComboBox::textColourId, juce::Colour (0xff000000));
    setLookAndFeel (&lookAndFeel);
}

DropDown::~DropDown()
{
    setLookAndFeel (nullptr);
}

} // namespace OSK
