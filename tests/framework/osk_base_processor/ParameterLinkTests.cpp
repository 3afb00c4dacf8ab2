#include "helpers/FixtureProcessor.h"

#include <gtest/gtest.h>

#include <memory>

using KelvaneTest::FixtureProcessor;
using Type = OSK::ParameterLink::Type;

namespace
{
void registerPairs (FixtureProcessor& p)
{
    p.createFloatParameter (0, "A", 0.5f, 0.0f, 1.0f, "", false);
    p.createFloatParameter (1, "B", 0.7f, 0.0f, 1.0f, "", false);
    p.createChoicesParameter (2, "X", { "Off", "On" }, 0, false);
    p.createChoicesParameter (3, "Y", { "Off", "On" }, 0, false);
}

struct Links : ::testing::Test
{
    FixtureProcessor processor { registerPairs };

    std::unique_ptr<OSK::ParameterLink> link (int first, int second, Type type, bool enabled = true)
    {
        std::unique_ptr<OSK::ParameterLink> created (
            processor.createParameterLink (first, second, type, OSK::ParameterLink::Direction::Both));
        created->enabled = enabled;
        return created;
    }
};
} // namespace

TEST_F (Links, AbsoluteLinkSwitchesTheChoicePartner)
{
    auto xy = link (2, 3, Type::Absolute);

    processor.set ("X", 1.0f);
    EXPECT_FLOAT_EQ (processor.get ("Y"), 1.0f);

    processor.set ("Y", 0.0f); // the link works in both directions
    EXPECT_FLOAT_EQ (processor.get ("X"), 0.0f);
}

TEST_F (Links, PartnerFollowsTheChangeOfTheMovedParameter)
{
    struct Step
    {
        const char* moved;
        float to;
        float expectedA, expectedB;
    };

    struct Case
    {
        Type type;
        float startA, startB;
        std::vector<Step> steps;
    };

    const Case cases[] = {
        { Type::Relative, 0.5f, 0.7f, { { "A", 0.6f, 0.6f, 0.8f }, { "A", 0.5f, 0.5f, 0.7f }, { "B", 0.9f, 0.7f, 0.9f } } },
        // At the end of its range the partner stops, and moving back takes it by the full change.
        { Type::Relative, 0.5f, 0.8f, { { "A", 0.9f, 0.9f, 1.0f }, { "A", 0.5f, 0.5f, 0.6f } } },
        { Type::InverseRelative, 0.5f, 0.5f, { { "A", 0.7f, 0.7f, 0.3f }, { "B", 0.4f, 0.6f, 0.4f } } },
        { Type::Absolute, 0.5f, 0.7f, { { "A", 0.2f, 0.2f, 0.2f }, { "B", 0.9f, 0.9f, 0.9f } } },
    };

    for (const auto& c : cases)
    {
        processor.set ("A", c.startA);
        processor.set ("B", c.startB);
        auto ab = link (0, 1, c.type);

        for (const auto& step : c.steps)
        {
            processor.set (step.moved, step.to);
            EXPECT_NEAR (processor.get ("A"), step.expectedA, 1.0e-6f) << static_cast<int> (c.type) << " " << step.moved << step.to;
            EXPECT_NEAR (processor.get ("B"), step.expectedB, 1.0e-6f) << static_cast<int> (c.type) << " " << step.moved << step.to;
        }
    }
}

TEST_F (Links, DisabledLinkOnlyFollowsTheValues)
{
    processor.set ("A", 0.5f);
    processor.set ("B", 0.7f);
    auto ab = link (0, 1, Type::Relative, false);

    processor.set ("A", 0.3f);
    EXPECT_NEAR (processor.get ("B"), 0.7f, 1.0e-6f);

    // Once enabled, the partner moves by the change since the last value the link saw (0.3).
    ab->enabled = true;
    processor.set ("A", 0.4f);
    EXPECT_NEAR (processor.get ("B"), 0.8f, 1.0e-6f);
}

TEST_F (Links, DestroyedLinkNoLongerListens)
{
    link (0, 1, Type::Absolute).reset();
    processor.set ("A", 0.1f);
    EXPECT_NEAR (processor.get ("B"), 0.7f, 1.0e-6f);
}
