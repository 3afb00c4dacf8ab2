#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <mutex>

namespace KelvaneRender
{
/** One status line on the terminal (standard error) with a bar for every file being rendered,
    and the place where reports and messages are printed, so that they never tear the line.
    Shows nothing unless enabled; files shorter than a few seconds never get a bar. Any thread.
*/
class ProgressDisplay
{
public:
    /** Files at least this long (in seconds) show a bar. */
    static constexpr double minimumSeconds = 5.0;

    /** enabled: draw bars at all (a terminal, not --quiet). */
    explicit ProgressDisplay (bool enabled);
    ~ProgressDisplay();

    /** True when standard error is a terminal. */
    [[nodiscard]] static bool errorStreamIsTerminal();

    /** Starts a bar for a file; returns its key. It shows from its first update, if the file is long enough. */
    int begin (const juce::String& name);

    /** Moves a bar to a fraction (0..1) of its pass, naming the pass ("pass 2") if there are
        several; fileSeconds is the file's length. */
    void update (int key, double fraction, const juce::String& stage, double fileSeconds);

    /** Removes a bar. */
    void end (int key);

    /** Prints text to standard output, or to standard error, below the bars. */
    void print (const juce::String& text, bool toErrorStream = false);

private:
    struct Bar
    {
        juce::String name;
        juce::String stage;
        double fraction = 0.0;
        bool shown = false;
    };

    void clearLine();
    void drawLine();

    const bool enabled;
    std::mutex lock;
    std::map<int, Bar> bars;
    int nextKey = 0;
    bool lineShown = false;
    juce::uint32 lastDraw = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgressDisplay)
};

} // namespace KelvaneRender
