#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace OSK
{
/** Access to the images and the interface font compiled into the plug-in: the product's table
    `PluginBinaryData` and the framework's table `CommonBinaryData`. Images are decoded once per
    process through JUCE's image cache; an unknown name gives an empty image. Message thread. */
namespace EmbeddedResources
{
    /** Decodes (or takes from the cache) a product image by its resource name, e.g. "KnobEQ_png" (message thread). */
    [[nodiscard]] juce::Image productImage (const juce::String& resourceName);

    /** Decodes (or takes from the cache) a framework image by its resource name, e.g. "banner_png" (message thread). */
    [[nodiscard]] juce::Image commonImage (const juce::String& resourceName);

    /** Creates the interface typeface, Source Sans Pro, from the framework's table. Callers keep it
        for as long as they draw with it (message thread). */
    [[nodiscard]] juce::Typeface::Ptr createInterfaceTypeface();
} // namespace EmbeddedResources

} // namespace OSK
