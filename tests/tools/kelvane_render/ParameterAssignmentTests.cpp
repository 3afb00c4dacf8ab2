#include "ParameterAssignment.h"
#include "RenderError.h"

#include <gtest/gtest.h>

using namespace KelvaneRender;

namespace
{
struct TypedValue
{
    const char* id;
    const char* text;
};

/** What a user types for a table of parameters of every kind, as the plug-in shows them. */
const TypedValue typedValues[] = {
    { "CompThr", "-12" },   { "CompThr", "-12 dB" }, { "CompRtio", "4" },    { "CompRtio", "2.5:1" },
    { "CompGain", "6.25" }, { "Thresh", "-40" },     { "Ratio", "3" },       { "Attack", "10" },
    { "Attack", "0.333" },  { "Release", "0.5" },    { "CompRel", "1.25" },  { "LGain", "9.5" },
    { "LCeil", "-1.5" },    { "LRel", "0.08" },      { "MakeUp", "3" },      { "MHiShlf", "-4.5" },
    { "SLowShlf", "6" },    { "MGain", "3.25" },     { "SGain", "-30" },     { "EQ Mode", "IIR" },
    { "EQ Mode", "FIR" },   { "L/R|M/S", "M/S" },    { "MetSwi", "K-14" },   { "Power", "Off" },
    { "LByp", "On" },       { "CAG", "On" },         { "HgSlfLnk", "Off" },
};
} // namespace

TEST (ParameterAssignment, TextsGiveWhatTheHostsTextToValueGives)
{
    OSK::KelvaneProcessor renderer, host;

    for (const auto& typed : typedValues)
    {
        auto& parameter = findParameter (renderer, typed.id);
        auto* hostParameter = host.valueTreeState.getParameter (typed.id);
        ASSERT_NE (hostParameter, nullptr) << typed.id;

        EXPECT_EQ (valueForText (parameter, typed.text), hostParameter->getValueForText (typed.text))
            << typed.id << "=" << typed.text;
    }
}

TEST (ParameterAssignment, ChoicesAndIdsIgnoreCase)
{
    OSK::KelvaneProcessor processor;
    auto& mode = findParameter (processor, "eq mode");

    EXPECT_EQ (mode.getParameterID(), "EQ Mode");
    EXPECT_EQ (valueForText (mode, "iir"), mode.getValueForText ("IIR"));
    EXPECT_EQ (valueForText (findParameter (processor, "l/r|m/s"), "m/s"), 1.0f);
}

TEST (ParameterAssignment, UnknownIdsListTheClosestOnes)
{
    OSK::KelvaneProcessor processor;

    try
    {
        (void) findParameter (processor, "CompThresh");
        FAIL();
    }
    catch (const RenderError& error)
    {
        EXPECT_TRUE (juce::String (error.what()).contains ("did you mean CompThr")) << error.what();
    }

    EXPECT_EQ (closestParameterIds (processor, "Ceil")[0], "LCeil");
    EXPECT_TRUE (closestParameterIds (processor, "LRls").contains ("LRel"));
    EXPECT_TRUE (closestParameterIds (processor, "Wobble").isEmpty());
}

TEST (ParameterAssignment, TextsThatDoNotParseAreRefused)
{
    OSK::KelvaneProcessor processor;
    const TypedValue refused[] = {
        { "CompThr", "abc" },  { "CompThr", "" },    { "CompThr", "-60" }, { "CompThr", "dB -12" }, { "LGain", "49" },
        { "Attack", "200" },   { "Release", "3" },   { "EQ Mode", "IIRR" }, { "Power", "1" },       { "MetSwi", "K-10" },
    };

    for (const auto& typed : refused)
        EXPECT_THROW ((void) valueForText (findParameter (processor, typed.id), typed.text), RenderError)
            << typed.id << "=" << typed.text;
}

TEST (ParameterAssignment, EditDistanceCountsSingleEdits)
{
    EXPECT_EQ (editDistance ("LCeil", "LCeil"), 0);
    EXPECT_EQ (editDistance ("LCeil", "LCeal"), 1);
    EXPECT_EQ (editDistance ("CompThr", "CompThresh"), 3);
    EXPECT_EQ (editDistance ("", "LGain"), 5);
}
