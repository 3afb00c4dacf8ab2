// The base editor's meter registry: registering widgets under engine meter indices, the 41 ms
// refresh from the engine, replacing a registration, clip lamps, and ownership of the widgets.

#include "framework/osk_gui/GuiTestSupport.h"
#include "helpers/FixtureProcessor.h"
#include "osk_gui/BaseEditor.h"
#include "osk_gui/HorizontalMeter.h"
#include "osk_gui/VerticalMeter.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
// An engine whose meters read what the test sets.
class ScriptedMeters : public KelvaneTest::RecordingDsp
{
public:
    using KelvaneTest::RecordingDsp::RecordingDsp;

    double getMeterValue (int index) const noexcept override
    {
        const auto found = values.find (index);
        return found != values.end() ? found->second : 0.0;
    }

    std::map<int, double> values;
};

// Counts its own deletion, to see who deletes a registered widget and when.
class CountedMeter : public OSK::VerticalMeter
{
public:
    explicit CountedMeter (int& deletionCounter)
        : OSK::VerticalMeter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 0, 0, 5, 500 }), deletions (deletionCounter)
    {
    }

    ~CountedMeter() override { ++deletions; }

    int& deletions;
};

struct MeterRegistry : ::testing::Test
{
    MeterRegistry() { processor.dsp = &engine; }

    OSK::VerticalMeter* newBar() { return new OSK::VerticalMeter ("MeterSPeakOn_png", "MeterSPeakOff_png", { 135, 25, 5, 500 }); }

    KelvaneTest::FixtureProcessor processor { [] (KelvaneTest::FixtureProcessor&) {} };
    ScriptedMeters engine { processor };
    std::unique_ptr<OSK::BaseEditor> editor = std::make_unique<OSK::BaseEditor> (processor);
};
} // namespace

TEST_F (MeterRegistry, FirstMeterShowsItAndStartsTheRefreshEvery41Milliseconds)
{
    EXPECT_FALSE (editor->isTimerRunning());

    auto* meter = newBar();
    editor->addMeter (meter, 0);

    EXPECT_EQ (meter->getParentComponent(), editor.get());
    EXPECT_TRUE (meter->isVisible());
    EXPECT_EQ (editor->getChildComponent (editor->getNumChildComponents() - 1), meter);
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 41);
    EXPECT_EQ (editor->meters[0], meter);
}

TEST_F (MeterRegistry, RefreshGivesEveryMeterItsEngineValue)
{
    auto* bar = newBar();
    auto* pointer = new OSK::HorizontalMeter ("MeterPointBal_png", "MeterPointOff_png", { 880, 605, 110, 15 });
    editor->addMeter (bar, 3);
    editor->addMeter (pointer, 16);

    engine.values = { { 3, 0.75 }, { 16, 0.4 }, { 5, 0.9 } };
    editor->timerCallback();
    EXPECT_EQ (bar->value, 0.75);
    EXPECT_EQ (pointer->value, 0.4);

    engine.values = { { 3, -5.52 }, { 16, 1.3 } };
    editor->timerCallback();
    EXPECT_EQ (bar->value, 0.0);
    EXPECT_EQ (pointer->value, 1.0);
}

TEST_F (MeterRegistry, SteadyEngineValuesCostNoDrawing)
{
    auto* bar = newBar();
    editor->addMeter (bar, 2);
    engine.values = { { 2, -5.52 } }; // silence

    editor->timerCallback();
    KelvaneTest::RepaintCounter repaints (*bar);

    for (int tick = 0; tick < 10; ++tick)
        editor->timerCallback();

    EXPECT_EQ (repaints.count, 0);
}

TEST_F (MeterRegistry, ReRegisteringAnIndexReplacesTheFirstMeterInTheRefresh)
{
    auto* first = newBar();
    auto* second = newBar();
    editor->addMeter (first, 7);
    engine.values = { { 7, 0.2 } };
    editor->timerCallback();

    editor->addMeter (second, 7);
    engine.values = { { 7, 0.6 } };
    editor->timerCallback();

    EXPECT_EQ (editor->meters[7], second);
    EXPECT_EQ (editor->meters.size(), 1);
    EXPECT_EQ (second->value, 0.6);
    EXPECT_EQ (first->value, 0.2); // no longer refreshed, but still on the panel
    EXPECT_EQ (first->getParentComponent(), editor.get());
}

TEST_F (MeterRegistry, TheEditorDeletesEveryRegisteredWidgetOnce)
{
    int deletions = 0;
    auto* replaced = new CountedMeter (deletions);
    auto* twice = new CountedMeter (deletions);
    editor->addMeter (replaced, 1);
    editor->addMeter (new CountedMeter (deletions), 1);
    editor->addMeter (twice, 4);
    editor->addMeter (twice, 5);
    editor->addMeter (nullptr, 6);
    EXPECT_EQ (deletions, 0);

    editor.reset();
    EXPECT_EQ (deletions, 3);
}

TEST_F (MeterRegistry, ClipLampLightsAtFullScaleAndRepaintsOnlyOnAChange)
{
    auto* lamp = new OSK::ClipLamp();
    lamp->setBounds (890, 15, 10, 5);
    editor->addClipLamp (lamp, 11);
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (lamp->getParentComponent(), editor.get());

    KelvaneTest::RepaintCounter repaints (*lamp);
    const struct
    {
        double reading;
        bool lit;
        int repaints;
    } steps[] { { 0.5, false, 0 }, { 1.0, true, 1 }, { 1.2, true, 1 }, { 0.99, false, 2 }, { -5.52, false, 2 } };

    for (const auto& step : steps)
    {
        engine.values = { { 11, step.reading } };
        editor->timerCallback();
        EXPECT_EQ (lamp->lit, step.lit) << "reading " << step.reading;
        EXPECT_EQ (repaints.count, step.repaints) << "reading " << step.reading;
    }
}
