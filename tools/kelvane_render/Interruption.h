#pragma once

#include <juce_core/juce_core.h>

namespace KelvaneRender
{
/** Lets Ctrl-C (SIGINT) and SIGTERM stop a render cleanly: the running passes notice, throw,
    and remove their temporary files. A second signal ends the program at once. */
void installInterruptHandlers();

/** True once an interrupt arrived. */
[[nodiscard]] bool wasInterrupted() noexcept;

/** Throws RenderError ("FILE: interrupted, nothing written") once an interrupt arrived. */
void throwIfInterrupted (const juce::File& file);

} // namespace KelvaneRender
