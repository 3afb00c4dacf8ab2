#include "helpers/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool countingAllocations = false;
thread_local int allocationCount = 0;

void* allocate (std::size_t size)
{
    if (countingAllocations)
        ++allocationCount;

    if (void* memory = std::malloc (size == 0 ? 1 : size))
        return memory;

    throw std::bad_alloc();
}
} // namespace

// The array and nothrow forms of the standard library call these.
void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }

// GCC cannot see that the operator new above is malloc and would flag the free below.
#if defined(__GNUC__) && ! defined(__clang__) && __GNUC__ >= 11
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void operator delete (void* memory) noexcept { std::free (memory); }
void operator delete (void* memory, std::size_t) noexcept { std::free (memory); }
void operator delete[] (void* memory) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::size_t) noexcept { std::free (memory); }

#if defined(__GNUC__) && ! defined(__clang__) && __GNUC__ >= 11
 #pragma GCC diagnostic pop
#endif

namespace KelvaneTest
{
ScopedAllocationCounter::ScopedAllocationCounter()
    : wasCounting (countingAllocations)
    , countBefore (allocationCount)
{
    countingAllocations = true;
}

ScopedAllocationCounter::~ScopedAllocationCounter()
{
    countingAllocations = wasCounting;
}

int ScopedAllocationCounter::count() const
{
    return allocationCount - countBefore;
}

} // namespace KelvaneTest
