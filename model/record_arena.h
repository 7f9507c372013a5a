#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

// Keeps copies of trivially copyable records in large blocks that never move,
// so views of them stay valid while more are kept. The records of one call are
// consecutive. Nothing is freed before the arena.
template <class Record>
class RecordArena {
    static_assert(std::is_trivially_copyable_v<Record> && std::is_trivially_destructible_v<Record>);

  public:
    explicit RecordArena(std::size_t block_records) : block_records_(block_records) {}

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
            if (count > block_records_ / 8) {
                return add_block(count);
            }
            next_ = add_block(block_records_);
            free_ = block_records_;
        }
        Record* place = next_;
        next_ += count;
        free_ -= count;
        return place;
    }

    Record* add_block(std::size_t records) {
        blocks_.reserve(blocks_.size() + 1);
        blocks_.push_back(std::unique_ptr<Record[]>(new Record[records]));
        return blocks_.back().get();
    }

    std::size_t block_records_;
    std::vector<std::unique_ptr<Record[]>> blocks_;
    Record* next_ = nullptr;
    std::size_t free_ = 0;
};
