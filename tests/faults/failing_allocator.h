#pragma once

#include <cstddef>

// The test program's replacement of the global allocation functions: it
// counts live allocations and can make one chosen allocation fail. The
// program is linked so that a dlopen-ed plug-in allocates through it too.
namespace failing_allocator {

// Makes the `ordinal`-th allocation from now (1 = the next) throw
// std::bad_alloc; 0 disarms.
void fail_allocation(std::size_t ordinal);
// Allocations made since the last fail_allocation call.
std::size_t allocations_since_armed();
// Allocations not yet freed.
long live_allocations();

}  // namespace failing_allocator
