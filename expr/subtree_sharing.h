#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
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
    struct First {
        std::size_t copy;    // its code, as compiled, in `copies_`
        std::size_t length;  // instructions
        std::size_t end;     // where its KEEP goes
        std::uint32_t slot;  // valid once read
        bool read;
    };

    First* find(const Instruction* begin, std::size_t length, std::uint64_t hash);

    // Firsts by a hash of their instructions' fields; equal hashes are told
    // apart by comparing the code itself.
    std::unordered_multimap<std::uint64_t, std::size_t> by_hash_;
    std::vector<First> firsts_;
    std::vector<Instruction> copies_;
    std::vector<std::pair<std::size_t, std::uint32_t>> keeps_;  // place, slot
    std::uint32_t slots_ = 0;
};
