#include "Interruption.h"

#include "RenderError.h"

#include <atomic>
#include <csignal>

namespace KelvaneRender
{
namespace
{
    std::atomic<bool> interrupted { false };
    static_assert (std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

    void onInterrupt (int signalNumber)
    {
        interrupted.store (true);

        // The next signal takes the default action, so a stuck program can still be stopped.
        std::signal (signalNumber, SIG_DFL);
    }
} // namespace

void installInterruptHandlers()
{
    std::signal (SIGINT, onInterrupt);
    std::signal (SIGTERM, onInterrupt);
}

bool wasInterrupted() noexcept
{
    return interrupted.load();
}

void throwIfInterrupted (const juce::File& file)
{
    if (wasInterrupted())
        throw RenderError ((file.getFullPathName() + ": interrupted, nothing written").toStdString());
}

} // namespace KelvaneRender
