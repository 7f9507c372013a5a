#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

#include "huge_pages.h"

// Keeps copies of trivially copyable records in blocks that never move, so
// views of them stay valid while more are kept. The records of one call are
// consecutive. Blocks start small and double up to a few huge pages, so a
// small model takes little and a large one few allocations, its blocks backed
// by huge pages. Nothing is freed before the arena.
template <class Record>
class RecordArena {
    static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_destructible_v<Record>);

  public:
    RecordArena() = default;
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;
    ~RecordArena() {
        for (const Block& block : blocks_) {
            huge_pages::release(block.first, block.records * sizeof(Record));
        }
    }

    // Copies `count` records from `first` and returns where the copies are.
    Record* keep(const Record* first, std::size_t count) {
        if (count == 0) {
            return nullptr;
        }
        Record* place = room_for(count);
        std::uninitialized_copy(first, first + count, place);
        kept_ += count;
        return place;
    }

    // The records kept so far.
    std::size_t kept() const { return kept_; }

    // Room to take over `other`'s blocks; throws std::bad_alloc.
    void reserve_for(const RecordArena& other) {
        blocks_.reserve(blocks_.size() + other.blocks_.size());
    }
    // Takes over every block of `other`, which is left empty; records and
    // views of them stay where they are. `reserve_for(other)` must come first.
    void take_over(RecordArena& other) noexcept {
        blocks_.insert(blocks_.end(), other.blocks_.begin(), other.blocks_.end());
        kept_ += other.kept_;
        other.blocks_.clear();
        other.next_ = nullptr;
        other.free_ = 0;
        other.kept_ = 0;
    }

  private:
    static constexpr std::size_t LARGEST_BLOCK = 2 * huge_pages::HUGE_PAGE / sizeof(Record);

    struct Block {
        Record* first;
        std::size_t records;
    };

    Record* room_for(std::size_t count) {
        if (count > free_) {
            // A large run gets a block of its own so the current block's room
            // is not wasted; a small one starts a new block.
            if (count > LARGEST_BLOCK / 8) {
                return add_block(count);
            }
            next_block_ = std::min(std::max(next_block_ * 2, count), LARGEST_BLOCK);
            next_ = add_block(next_block_);
            free_ = next_block_;
        }
        Record* place = next_;
        next_ += count;
        free_ -= count;
        return place;
    }

    Record* add_block(std::size_t records) {
        if (blocks_.size() == blocks_.capacity()) {
            blocks_.reserve(2 * blocks_.size() + 8);  // so the push cannot throw
        }
        HugePageAllocator<Record> allocator;
        Record* first = allocator.allocate(records);
        blocks_.push_back(Block{first, records});
        return first;
    }

    std::size_t next_block_ = 8;
    std::vector<Block> blocks_;
    Record* next_ = nullptr;
    std::size_t free_ = 0;
    std::size_t kept_ = 0;
};
