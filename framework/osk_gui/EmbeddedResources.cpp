#include "osk_gui/EmbeddedResources.h"

#include "CommonBinaryData.h"
#include "PluginBinaryData.h"

namespace OSK::EmbeddedResources
{
namespace
{
    juce::Image cachedImage (const char* data, int size)
    {
        if (data == nullptr || size <= 0)
            return {};

        return juce::ImageCache::getFromMemory (data, size);
    }
} // namespace

juce::Image productImage (const juce::String& resourceName)
{
    int size = 0;
    const auto* data = PluginBinaryData::getNamedResource (resourceName.toRawUTF8(), size);
    return cachedImage (data, size);
}

juce::Image commonImage (const juce::String& resourceName)
{
    int size = 0;
    const auto* data = CommonBinaryData::getNamedResource (resourceName.toRawUTF8(), size);
    return cachedImage (data, size);
}

juce::Typeface::Ptr createInterfaceTypeface()
{
    return juce::Typeface::createSystemTypefaceFor (CommonBinaryData::source_sans_pro_otf,
                                                    (size_t) CommonBinaryData::source_sans_pro_otfSize);
}

} // namespace OSK::EmbeddedResources
