#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** The About panel: the product's About image over the whole panel area, with the version
    written on it. It is shown by bringing it to the front and hidden by a click anywhere on it,
    which sends it behind the background again. Message thread only. */
class About : public juce::Component
{
public:
    /** Builds the panel from the product's About image and the build's version (message thread). */
    About();

    /** Any click hides the panel by moving it to the back of its parent's children (message thread). */
    void mouseUp (const juce::MouseEvent& event) override;

    /** Fills black where the image does not cover (message thread). */
    void paint (juce::Graphics& g) override;

    /** The image fills the panel; the version label keeps its size, 115 pixels in from the top
        right corner; the product may move it afterwards (message thread). */
    void resized() override;

    juce::Label versionLabel;
    juce::ImageComponent image { "AboutBackground" };
    juce::String versionText;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (About)
};

} // namespace OSK
