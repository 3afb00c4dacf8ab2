// The two resource tables: lookup by name, original file names, and the images and font they hold.

#include "CommonBinaryData.h"
#include "PluginBinaryData.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstring>
#include <ostream>
#include <string>

namespace
{
struct Resource
{
    const char* name;
    const char* fileName;
    int width, height; // 0 for the font

    friend std::ostream& operator<< (std::ostream& os, const Resource& r) { return os << r.name; }
};

// Every entry of each table, in table order, with the pixel size the editor cuts it by.
const Resource pluginResources[] {
    { "About_png", "About.png", 2080, 1340 },
    { "Background_png", "Background.png", 2080, 1340 },
    { "KnobComp_png", "KnobComp.png", 144, 14544 },
    { "KnobEQ_png", "KnobEQ.png", 144, 14544 },
    { "KnobExp_png", "KnobExp.png", 144, 14544 },
    { "KnobLim_png", "KnobLim.png", 144, 14544 },
    { "MeterLMainOff_png", "MeterLMainOff.png", 40, 1000 },
    { "MeterLMainOn_png", "MeterLMainOn.png", 120, 1000 },
    { "MeterMPeakOff_png", "MeterMPeakOff.png", 20, 1000 },
    { "MeterMPeakOn_png", "MeterMPeakOn.png", 20, 1000 },
    { "MeterPointBal_png", "MeterPointBal.png", 8, 30 },
    { "MeterPointCorr_png", "MeterPointCorr.png", 24, 30 },
    { "MeterPointOff_png", "MeterPointOff.png", 220, 30 },
    { "MeterSGROff_png", "MeterSGROff.png", 10, 1000 },
    { "MeterSGROn_png", "MeterSGROn.png", 10, 1000 },
    { "MeterSPeakOff_png", "MeterSPeakOff.png", 10, 1000 },
    { "MeterSPeakOn_png", "MeterSPeakOn.png", 10, 1000 },
    { "MeterScale_png", "MeterScale.png", 120, 1020 },
    { "SwitchRed_png", "SwitchRed.png", 24, 48 },
    { "SwitchYellow_png", "SwitchYellow.png", 24, 48 },
};

const Resource commonResources[] {
    { "banner_png", "banner.png", 342, 108 },
    { "settings_png", "settings.png", 46, 108 },
    { "source_sans_pro_otf", "source_sans_pro.otf", 0, 0 },
};

using Lookup = const char* (*) (const char*, int&);

void expectUnknown (Lookup lookup, const char* name)
{
    int size = 12345;
    EXPECT_EQ (lookup (name, size), nullptr);
    EXPECT_EQ (size, 0);
}
} // namespace

TEST (ResourceTables, KnownNameGivesTheFileBytesAndSize)
{
    int size = 0;
    EXPECT_EQ (PluginBinaryData::getNamedResource ("Background_png", size), PluginBinaryData::Background_png);
    EXPECT_EQ (size, PluginBinaryData::Background_pngSize);

    EXPECT_EQ (CommonBinaryData::getNamedResource ("source_sans_pro_otf", size), CommonBinaryData::source_sans_pro_otf);
    EXPECT_EQ (size, CommonBinaryData::source_sans_pro_otfSize);
}

TEST (ResourceTables, NameOfTheOtherTableIsUnknown)
{
    expectUnknown (CommonBinaryData::getNamedResource, "Background_png");
    expectUnknown (PluginBinaryData::getNamedResource, "settings_png");
}

TEST (ResourceTables, NullEmptyAndMisspelledNamesAreUnknown)
{
    for (auto lookup : { Lookup (PluginBinaryData::getNamedResource), Lookup (CommonBinaryData::getNamedResource) })
    {
        expectUnknown (lookup, nullptr);
        expectUnknown (lookup, "");
        expectUnknown (lookup, "Background.png");
        expectUnknown (lookup, "background_png");
        expectUnknown (lookup, "Settings_png");
    }
}

TEST (ResourceTables, OriginalFileNamesAreMatchedExactly)
{
    EXPECT_STREQ (CommonBinaryData::getNamedResourceOriginalFilename ("settings_png"), "settings.png");
    EXPECT_EQ (CommonBinaryData::getNamedResourceOriginalFilename ("Settings_png"), nullptr);
    EXPECT_EQ (CommonBinaryData::getNamedResourceOriginalFilename ("settings"), nullptr);
    EXPECT_EQ (PluginBinaryData::getNamedResourceOriginalFilename ("settings_png"), nullptr);
    EXPECT_STREQ (PluginBinaryData::getNamedResourceOriginalFilename ("KnobEQ_png"), "KnobEQ.png");
}

TEST (ResourceTables, ListsHoldEveryResourceInTableOrder)
{
    ASSERT_EQ (PluginBinaryData::namedResourceListSize, (int) std::size (pluginResources));
    ASSERT_EQ (CommonBinaryData::namedResourceListSize, (int) std::size (commonResources));

    for (int i = 0; i < PluginBinaryData::namedResourceListSize; ++i)
    {
        EXPECT_STREQ (PluginBinaryData::namedResourceList[i], pluginResources[i].name);
        EXPECT_STREQ (PluginBinaryData::originalFilenames[i], pluginResources[i].fileName);
    }

    for (int i = 0; i < CommonBinaryData::namedResourceListSize; ++i)
    {
        EXPECT_STREQ (CommonBinaryData::namedResourceList[i], commonResources[i].name);
        EXPECT_STREQ (CommonBinaryData::originalFilenames[i], commonResources[i].fileName);
    }
}

TEST (ResourceTables, InterfaceFontIsSourceSansProRegularWithCffOutlines)
{
    int size = 0;
    const auto* data = CommonBinaryData::getNamedResource ("source_sans_pro_otf", size);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (std::memcmp (data, "OTTO", 4), 0); // the OpenType signature of CFF outlines

    auto typeface = juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
    ASSERT_NE (typeface, nullptr);
    EXPECT_EQ (typeface->getName(), "Source Sans Pro");
    EXPECT_EQ (typeface->getStyle(), "Regular");
}

//==================================================================================================
struct EmbeddedImage : ::testing::TestWithParam<Resource>
{
};

TEST_P (EmbeddedImage, DecodesAsPngAtItsListedSize)
{
    const auto& resource = GetParam();
    int size = 0;
    const auto* data = PluginBinaryData::getNamedResource (resource.name, size);

    if (data == nullptr)
        data = CommonBinaryData::getNamedResource (resource.name, size);

    ASSERT_NE (data, nullptr);
    EXPECT_EQ (std::memcmp (data, "\x89PNG\r\n\x1a\n", 8), 0);

    const auto image = juce::ImageFileFormat::loadFrom (data, (size_t) size);
    EXPECT_EQ (image.getWidth(), resource.width);
    EXPECT_EQ (image.getHeight(), resource.height);
}

namespace
{
std::string resourceName (const ::testing::TestParamInfo<Resource>& resource)
{
    return resource.param.name;
}
} // namespace

INSTANTIATE_TEST_SUITE_P (ProductTable, EmbeddedImage, ::testing::ValuesIn (pluginResources), resourceName);
INSTANTIATE_TEST_SUITE_P (FrameworkTable, EmbeddedImage, ::testing::Values (commonResources[0], commonResources[1]), resourceName);
