#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

// Keeps copies of trivially copyable records in blocks that never move, so
// views of them stay valid while more are kept. The records of one call are
// consecutive. Blocks start small and double up to `largest_block` records,
// so a small model takes little and a large one few allocations. Nothing is
// freed before the arena.
template <class Record>
class RecordArena {
    static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_destructible_v<Record>);

  public:
    explicit RecordArena(std::size_t largest_block) : largest_block_(largest_block) {}

    // Copies `count` records from `first` and returns where the copies are.
    Record* keep(const Record* first, std::size_t count) {
        if (count == 0) {
            return nullptr;
        }
        Record* place = room_for(count);
        std::copy(first, first + count, place);
        return place;
    }

  private:
    Record* room_for(std::size_t count) {
        if (count > free_) {
            // A large run gets a block of its own so the current block's room
            // is not wasted; a small one starts a new block.
            if (count > largest_block_ / 8) {
                return add_block(count);
            }
            next_block_ = std::min(std::max(next_block_ * 2, count), largest_block_);
            next_ = add_block(next_block_);
            free_ = next_block_;
        }
        Record* place = next_;
        next_ += count;
        free_ -= count;
        return place;
    }

    Record* add_block(std::size_t records) {
        blocks_.push_back(std::unique_ptr<Record[]>(new Record[records]));
        return blocks_.back().get();
    }

    std::size_t largest_block_;
    std::size_t next_block_ = 8;
    std::vector<std::unique_ptr<Record[]>> blocks_;
    Record* next_ = nullptr;
    std::size_t free_ = 0;
};
