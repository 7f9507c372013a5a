#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "huge_pages.h"

// The operations of a compiled program: a stack machine whose instructions
// run in the order they are laid out. "top" is the value on top of the stack;
// an operand is the instruction's constant `k`, the value vector's element
// `arg` (V), or the value popped from the stack (S). Each operation is one
// step of the tree walk, so a program computes bit for bit what the walk does;
// a subtree that repeats one evaluated earlier in the program is read back
// from its slot, which holds the very bits the repeat would compute.
enum class Op : std::uint8_t {
    PUSH_K,     // push k
    PUSH_V,     // push values[arg]
    PUSH_T,     // push numeric text number arg, converted (may throw)
    K_ADD_V,    // push k + values[arg]: a sum's start and its first child
    K_MUL_V,    // push k * values[arg]: a product's start and its first child
    ADD_K,      // top = top + k
    ADD_V,      // top = top + values[arg]
    ADD_S,      // pop x; top = top + x
    MUL_K,      // top = top * k
    MUL_V,      // top = top * values[arg]
    MUL_S,      // pop x; top = top * x
    POW_K,      // top = pow(top, k)
    POW_V,      // top = pow(top, values[arg])
    POW_S,      // pop x; top = pow(top, x)
    LN,         // top = log(top)
    LOG10,      // top = log10(top)
    ABS,        // top = top without its sign bit
    EXP,        // top = exp(top)
    SQRT,       // top = guarded sqrt(top)
    ZERO,       // top = 0.0: a function whose name is none of the six
    KEEP,       // slots[arg] = top: the first evaluation of a repeated subtree
    PUSH_SLOT,  // push slots[arg]: a repeat of that subtree, not evaluated again
    STORE,      // pop into out[arg]
    DROP,       // pop: a result that has no place in the host's vector
    // An operation and then ADD_S (_ADD) or MUL_S (_MUL), in one step.
    K_MUL_V_ADD,
    MUL_V_ADD,
    MUL_S_ADD,
    POW_K_ADD,
    LN_ADD,
    LOG10_ADD,
    ABS_ADD,
    EXP_ADD,
    SQRT_ADD,
    PUSH_SLOT_ADD,
    POW_K_MUL,
    EXP_MUL,
    PUSH_SLOT_MUL,
    // An operation of values[arg] pushed, and that fused with ADD_S or MUL_S.
    LN_V,
    LOG10_V,
    ABS_V,
    EXP_V,
    SQRT_V,
    V_POW_K,  // push pow(values[arg], k)
    LN_V_ADD,
    LOG10_V_ADD,
    ABS_V_ADD,
    EXP_V_ADD,
    SQRT_V_ADD,
    V_POW_K_ADD,
    EXP_V_MUL,
    V_POW_K_MUL,
    END,  // the last instruction of every program
};

// How many operations there are: END is the last.
inline constexpr std::size_t OP_COUNT = static_cast<std::size_t>(Op::END) + 1;

struct Instruction {
    double k = 0.0;
    std::uint32_t arg = 0;
    Op op = Op::PUSH_K;
};

// A program's instructions; a large model's programs take huge pages.
using InstructionVector = std::vector<Instruction, HugePageAllocator<Instruction>>;

// The instruction that does `base` and then `combine` (ADD_S or MUL_S) in one
// step; `base` itself when there is none.
Op fused(Op base, Op combine);

// The instruction that pushes `op` (LN, LOG10, ABS, EXP, SQRT or POW_K) of
// values[arg]; `op` itself when there is none.
Op of_value(Op op);

// The two operations a fused instruction does; `combine` is END for an
// instruction that is not fused.
struct FusedParts {
    Op base;
    Op combine;
};
FusedParts parts_of(Op op);
