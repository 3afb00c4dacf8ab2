#pragma once

#include <juce_core/juce_core.h>

namespace OSK
{
/** The version and build number the user sees (About panel, information box), constants of the
    product's build ("3.0.0" and "336" for this release), and the maker's web addresses. Any thread. */
namespace ProductVersion
{
    /** The product's version, e.g. "3.0.0" (any thread). */
    [[nodiscard]] inline juce::String version() { return JucePlugin_VersionString; }

    /** The build number, e.g. "336" (any thread). */
    [[nodiscard]] inline juce::String buildNumber() { return juce::String (KELVANE_BUILD_NUMBER); }

    /** The maker's home page, which the banner opens (any thread). */
    [[nodiscard]] inline juce::String makerWebsite() { return JucePlugin_ManufacturerWebsite; }

    /** The maker's customer-account page, where updates are offered (any thread). */
    [[nodiscard]] inline juce::String customerAccountPage() { return makerWebsite() + "/account"; }

    /** Where the manuals are on the web; a product's manual is this + its name + "_Manual.pdf" (any thread). */
    [[nodiscard]] inline juce::String manualBaseAddress() { return makerWebsite() + "/manuals/"; }
} // namespace ProductVersion

} // namespace OSK
