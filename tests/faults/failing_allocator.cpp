#include "failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t countdown = 0;
std::size_t allocations = 0;
long live = 0;

void* allocate(std::size_t size) {
    ++allocations;
    if (countdown > 0 && --countdown == 0) {
        throw std::bad_alloc();
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory) {
        throw std::bad_alloc();
    }
    ++live;
    return memory;
}

void release(void* memory) {
    if (memory) {
        --live;
        std::free(memory);
    }
}

}  // namespace

namespace failing_allocator {

void fail_allocation(std::size_t ordinal) {
    countdown = ordinal;
    allocations = 0;
}

std::size_t allocations_since_armed() {
    return allocations;
}

long live_allocations() {
    return live;
}

}  // namespace failing_allocator

#define EXPORTED __attribute__((visibility("default")))

EXPORTED void* operator new(std::size_t size) {
    return allocate(size);
}
EXPORTED void* operator new[](std::size_t size) {
    return allocate(size);
}
EXPORTED void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
EXPORTED void operator delete(void* memory) noexcept {
    release(memory);
}
EXPORTED void operator delete[](void* memory) noexcept {
    release(memory);
}
EXPORTED void operator delete(void* memory, std::size_t) noexcept {
    release(memory);
}
EXPORTED void operator delete[](void* memory, std::size_t) noexcept {
    release(memory);
}
EXPORTED void operator delete(void* memory, const std::nothrow_t&) noexcept {
    release(memory);
}
