#pragma once

#include "osk_gui/DropDownLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** A choice list shown as centred black text over the panel, with a light popup. Its owner adds
    the items. Message thread only. */
class DropDown : public juce::ComboBox
{
public:
    /** Sets black text and installs the drop-down look (message thread). */
    DropDown();

    /** Uninstalls the look before it is destroyed (message thread). */
    ~DropDown() override;

    DropDownLookAndFeel lookAndFeel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DropDown)
};

} // namespace OSK
