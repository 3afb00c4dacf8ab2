#include "ProgressDisplay.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace KelvaneRender
{
namespace
{
    constexpr int lineWidth = 79;

    /** One file's bar; several share the line, each in a narrower form. */
    juce::String drawBar (const juce::String& name, const juce::String& stage, double fraction, bool compact)
    {
        const int barWidth = compact ? 10 : 24;
        const int nameWidth = compact ? 14 : 32;
        const auto filled = juce::jlimit (0, barWidth, static_cast<int> (fraction * barWidth + 0.5));
        const auto percent = juce::jlimit (0, 100, static_cast<int> (fraction * 100.0));
        auto label = name.length() > nameWidth ? name.substring (0, nameWidth - 1) + "~" : name;

        if (stage.isNotEmpty())
            label << (compact ? " p" + stage.fromLastOccurrenceOf (" ", false, false) : " (" + stage + ")");

        return label + " [" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString (".", barWidth - filled)
             + "] " + juce::String (percent) + "%";
    }
} // namespace

ProgressDisplay::ProgressDisplay (bool shouldDraw)
    : enabled (shouldDraw)
{
}

ProgressDisplay::~ProgressDisplay()
{
    const std::lock_guard<std::mutex> guard (lock);
    clearLine();
}

bool ProgressDisplay::errorStreamIsTerminal()
{
    return isatty (fileno (stderr)) != 0;
}

int ProgressDisplay::begin (const juce::String& name)
{
    const std::lock_guard<std::mutex> guard (lock);
    const auto key = nextKey++;

    if (enabled)
        bars[key] = { name, {}, 0.0, false };

    return key;
}

void ProgressDisplay::update (int key, double fraction, const juce::String& stage, double fileSeconds)
{
    const std::lock_guard<std::mutex> guard (lock);
    const auto bar = bars.find (key);

    if (bar == bars.end() || fileSeconds < minimumSeconds)
        return;

    bar->second.shown = true;
    bar->second.fraction = fraction;
    bar->second.stage = stage;

    // A terminal needs no more than a few redraws a second.
    const auto now = juce::Time::getMillisecondCounter();

    if (now - lastDraw >= 100)
    {
        lastDraw = now;
        drawLine();
    }
}

void ProgressDisplay::end (int key)
{
    const std::lock_guard<std::mutex> guard (lock);

    if (bars.erase (key) > 0)
    {
        clearLine();
        drawLine();
    }
}

void ProgressDisplay::print (const juce::String& text, bool toErrorStream)
{
    const std::lock_guard<std::mutex> guard (lock);
    clearLine();

    auto* stream = toErrorStream ? stderr : stdout;
    std::fputs (text.toRawUTF8(), stream);
    std::fflush (stream);

    drawLine();
}

void ProgressDisplay::clearLine()
{
    if (! lineShown)
        return;

    std::fputs ("\r\033[K", stderr);
    std::fflush (stderr);
    lineShown = false;
}

void ProgressDisplay::drawLine()
{
    if (! enabled)
        return;

    juce::StringArray parts;
    const auto shown = std::count_if (bars.begin(), bars.end(), [] (const auto& entry) { return entry.second.shown; });

    for (const auto& entry : bars)
        if (entry.second.shown)
            parts.add (drawBar (entry.second.name, entry.second.stage, entry.second.fraction, shown > 1));

    if (parts.isEmpty())
        return;

    auto line = parts.joinIntoString ("  ");

    if (line.length() > lineWidth)
        line = line.substring (0, lineWidth);

    std::fputs (("\r\033[K" + line).toRawUTF8(), stderr);
    std::fflush (stderr);
    lineShown = true;
}

} // namespace KelvaneRender
