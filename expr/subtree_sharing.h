#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "instruction.h"

// Shares repeated subtrees within one program. Two subtrees compiled into the
// same instructions perform the same operations on the same operands, so the
// later one computes the very bits the earlier one did: it is replaced by a
// read of the earlier one's value, which a KEEP after the earlier one saves.
// Only short code that calls a library function is worth it. A repeat's code
// never holds the first evaluation of another shared subtree (that one would
// have been a repeat too), so dropping it leaves every recorded place valid.
// The instruction that ends a first evaluation may later be fused with the
// one after it; the KEEP then splits it again.
class SubtreeSharing {
  public:
    // The code of one subtree has just been emitted at [start, code.size()):
    // if it repeats earlier code, it becomes one PUSH_SLOT.
    void share(InstructionVector& code, std::size_t start);

    // Inserts the KEEPs into the program's code, in place, leaving room for
    // one more instruction.
    void insert_keeps(InstructionVector& code);

    std::size_t slots() const { return slots_; }

  private:
    // A first evaluation's code stays where it was compiled; only its last
    // instruction may since have been fused with the one after it, so the
    // operation it was compiled with is kept.
    // Small, as a large model has a million of them.
    struct First {
        std::uint32_t end;    // where its code ends and its KEEP goes
        std::uint32_t slot;   // valid once read
        std::uint8_t length;  // instructions, at most LONGEST_SHARED
        Op last_op;
        bool read;
    };

    // A place of the table: the high half of a first's hash (the low bits
    // chose the place) and the first's index plus one (0: empty).
    struct Place {
        std::uint32_t tag = 0;
        std::uint32_t first = 0;
    };

    First* find(const InstructionVector& code, std::size_t start, std::uint32_t tag);
    bool same_code(const InstructionVector& code, const First& first, std::size_t start) const;
    void add_first(std::uint32_t tag, First first);
    std::size_t home_of(std::uint32_t tag) const;
    void place(Place entry);

    // Firsts by a hash of their instructions' fields, open addressing with
    // linear probing; equal tags are told apart by comparing the code.
    std::vector<Place> table_;
    unsigned table_bits_ = 0;  // the table has 2^table_bits_ places
    std::vector<First> firsts_;
    std::vector<std::pair<std::size_t, std::uint32_t>> keeps_;  // place, slot
    std::uint32_t slots_ = 0;
};
