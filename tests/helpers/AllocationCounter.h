#pragma once

// Heap allocation counting for real-time checks: the test binary replaces the global operator
// new, and a counter counts the allocations its own thread makes while it is alive. Other
// threads (JUCE's timers, the message thread) never disturb a count.

namespace KelvaneTest
{
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    /** Allocations made on this thread since construction. */
    [[nodiscard]] int count() const;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    bool wasCounting;
    int countBefore;
};

} // namespace KelvaneTest
