#include "osk_gui/ClipLamp.h"

namespace OSK
{
void ClipLamp::paint (juce::Graphics& g)
{
    if (lit)
        g.fillAll (litColour);
}

} // namespace OSK
