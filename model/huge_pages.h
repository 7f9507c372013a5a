#pragma once

#include <cstddef>
#include <new>

// Large blocks of memory backed by transparent huge pages where the operating
// system allows it. Touching a fresh 4 KiB page costs a page fault; a 2 MiB
// page takes one fault for 512 of them, which is much of the time spent
// building and compiling a large model. The hint is asked per block with
// madvise, since the plug-in lives in the host's process and must not change
// the process's own settings; where the system refuses, the block works as
// ordinary memory.
namespace huge_pages {

// Blocks of at least this many bytes are aligned to it and hinted.
inline constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;

// `bytes` (nonzero) of uninitialised memory; throws std::bad_alloc.
void* allocate(std::size_t bytes);
// Frees what `allocate(bytes)` returned, given the same `bytes`.
void release(void* block, std::size_t bytes) noexcept;

}  // namespace huge_pages

// A standard allocator over huge_pages, for large vectors.
template <class T>
struct HugePageAllocator {
    using value_type = T;

    HugePageAllocator() = default;
    template <class Other>
    HugePageAllocator(const HugePageAllocator<Other>&) {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(huge_pages::allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        huge_pages::release(block, count * sizeof(T));
    }

    template <class Other>
    bool operator==(const HugePageAllocator<Other>&) const {
        return true;
    }
    template <class Other>
    bool operator!=(const HugePageAllocator<Other>&) const {
        return false;
    }
};
