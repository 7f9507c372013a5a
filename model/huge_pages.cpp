#include "huge_pages.h"

#include <sys/mman.h>

namespace huge_pages {

namespace {

std::size_t rounded_up(std::size_t bytes) {
    return (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
}

}  // namespace

void* allocate(std::size_t bytes) {
    if (bytes < HUGE_PAGE) {
        return ::operator new(bytes);
    }
    // Whole huge pages, so the block's last page can be one too.
    const std::size_t whole = rounded_up(bytes);
    void* block = ::operator new (whole, std::align_val_t{HUGE_PAGE});
#ifdef MADV_HUGEPAGE
    // Only a hint: on failure the pages stay ordinary ones.
    madvise(block, whole, MADV_HUGEPAGE);
#endif
    return block;
}

void release(void* block, std::size_t bytes) noexcept {
    if (bytes < HUGE_PAGE) {
        ::operator delete(block);
    } else {
        ::operator delete (block, std::align_val_t{HUGE_PAGE});
    }
}

}  // namespace huge_pages
