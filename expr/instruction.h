#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "huge_pages.h"

// The operations of a compiled program: a stack machine whose instructions
// run in the order they are laid out. "top" is the value on top of the stack;
// an operand is the instruction's constant `k`, the value vector's element
// `arg` (V), or the value popped from the stack (S). Each operation is one
// step of the tree walk, so a program computes bit for bit what the walk does;
// a subtree that repeats one evaluated earlier in the program is read back
// from its slot, which holds the very bits the repeat would compute.
//
// The one list of them, from which the enum, the handlers' table, the stack
// effects and the fusions are made. Three kinds of row:
//   BASIC(NAME, HEIGHT, LIBRARY)  changes the stack's height by HEIGHT; LIBRARY
//                                 says whether it calls the maths library
//   FUSED(NAME, BASE, COMBINE)    BASE and then COMBINE (ADD_S or MUL_S) in one
//   OF_VALUE(NAME, OP)            OP of values[arg], pushed
#define QUILLON_OPERATIONS(BASIC, FUSED, OF_VALUE)                                       \
    BASIC(PUSH_K, 1, false)    /* push k */                                              \
    BASIC(PUSH_V, 1, false)    /* push values[arg] */                                    \
    BASIC(PUSH_T, 1, false)    /* push numeric text number arg, converted (may throw) */ \
    BASIC(K_ADD_V, 1, false)   /* push k + values[arg]: a sum's start and first child */ \
    BASIC(K_MUL_V, 1, false)   /* push k * values[arg]: a product's start and first */   \
    BASIC(ADD_K, 0, false)     /* top = top + k */                                       \
    BASIC(ADD_V, 0, false)     /* top = top + values[arg] */                             \
    BASIC(ADD_S, -1, false)    /* pop x; top = top + x */                                \
    BASIC(MUL_K, 0, false)     /* top = top * k */                                       \
    BASIC(MUL_V, 0, false)     /* top = top * values[arg] */                             \
    BASIC(MUL_S, -1, false)    /* pop x; top = top * x */                                \
    BASIC(POW_K, 0, true)      /* top = pow(top, k) */                                   \
    BASIC(POW_V, 0, true)      /* top = pow(top, values[arg]) */                         \
    BASIC(POW_S, -1, true)     /* pop x; top = pow(top, x) */                            \
    BASIC(LN, 0, true)         /* top = log(top) */                                      \
    BASIC(LOG10, 0, true)      /* top = log10(top) */                                    \
    BASIC(ABS, 0, false)       /* top = top without its sign bit */                      \
    BASIC(EXP, 0, true)        /* top = exp(top) */                                      \
    BASIC(SQRT, 0, false)      /* top = guarded sqrt(top) */                             \
    BASIC(ZERO, 0, false)      /* top = 0.0: a function named none of the six */         \
    BASIC(KEEP, 0, false)      /* slots[arg] = top: a repeated subtree's first value */  \
    BASIC(PUSH_SLOT, 1, false) /* push slots[arg]: a repeat, not evaluated again */      \
    BASIC(STORE, -1, false)    /* pop into out[arg] */                                   \
    BASIC(DROP, -1, false)     /* pop: a result with no place in the host's vector */    \
    FUSED(K_MUL_V_ADD, K_MUL_V, ADD_S)                                                   \
    FUSED(MUL_V_ADD, MUL_V, ADD_S)                                                       \
    FUSED(MUL_S_ADD, MUL_S, ADD_S)                                                       \
    FUSED(POW_K_ADD, POW_K, ADD_S)                                                       \
    FUSED(LN_ADD, LN, ADD_S)                                                             \
    FUSED(LOG10_ADD, LOG10, ADD_S)                                                       \
    FUSED(ABS_ADD, ABS, ADD_S)                                                           \
    FUSED(EXP_ADD, EXP, ADD_S)                                                           \
    FUSED(SQRT_ADD, SQRT, ADD_S)                                                         \
    FUSED(PUSH_SLOT_ADD, PUSH_SLOT, ADD_S)                                               \
    FUSED(POW_K_MUL, POW_K, MUL_S)                                                       \
    FUSED(EXP_MUL, EXP, MUL_S)                                                           \
    FUSED(PUSH_SLOT_MUL, PUSH_SLOT, MUL_S)                                               \
    OF_VALUE(LN_V, LN)                                                                   \
    OF_VALUE(LOG10_V, LOG10)                                                             \
    OF_VALUE(ABS_V, ABS)                                                                 \
    OF_VALUE(EXP_V, EXP)                                                                 \
    OF_VALUE(SQRT_V, SQRT)                                                               \
    OF_VALUE(V_POW_K, POW_K)                                                             \
    FUSED(LN_V_ADD, LN_V, ADD_S)                                                         \
    FUSED(LOG10_V_ADD, LOG10_V, ADD_S)                                                   \
    FUSED(ABS_V_ADD, ABS_V, ADD_S)                                                       \
    FUSED(EXP_V_ADD, EXP_V, ADD_S)                                                       \
    FUSED(SQRT_V_ADD, SQRT_V, ADD_S)                                                     \
    FUSED(V_POW_K_ADD, V_POW_K, ADD_S)                                                   \
    FUSED(EXP_V_MUL, EXP_V, MUL_S)                                                       \
    FUSED(V_POW_K_MUL, V_POW_K, MUL_S)                                                   \
    BASIC(END, 0, false) /* the last instruction of every program */

#define QUILLON_OP_NAME(name, ...) name,
enum class Op : std::uint8_t {
    QUILLON_OPERATIONS(QUILLON_OP_NAME, QUILLON_OP_NAME, QUILLON_OP_NAME)
};
#undef QUILLON_OP_NAME

// How many operations there are: END is the last.
inline constexpr std::size_t OP_COUNT = static_cast<std::size_t>(Op::END) + 1;

// One row of the list; END stands for "none" in the last three fields.
struct OpRow {
    Op op;
    int own_height;  // of a basic operation
    bool library;    // of a basic operation
    Op base;         // of a fused operation
    Op combine;      // of a fused operation
    Op of_value;     // of an operation of values[arg]
};

#define QUILLON_BASIC_ROW(name, height, library) \
    {Op::name, height, library, Op::END, Op::END, Op::END},
#define QUILLON_FUSED_ROW(name, base, combine) {Op::name, 0, false, Op::base, Op::combine, Op::END},
#define QUILLON_OF_VALUE_ROW(name, op) {Op::name, 0, false, Op::END, Op::END, Op::op},
inline constexpr OpRow OP_ROWS[] = {
    QUILLON_OPERATIONS(QUILLON_BASIC_ROW, QUILLON_FUSED_ROW, QUILLON_OF_VALUE_ROW)};
#undef QUILLON_BASIC_ROW
#undef QUILLON_FUSED_ROW
#undef QUILLON_OF_VALUE_ROW

static_assert(std::size(OP_ROWS) == OP_COUNT, "one row for each operation");

constexpr const OpRow& row_of(Op op) {
    return OP_ROWS[static_cast<std::size_t>(op)];
}

// What each operation is, worked out from the list once, at compile time,
// into tables by operation that the program builder reads in one step.
struct OpFacts {
    // How the instruction changes the stack's height: a fused one as its two
    // parts together, one of values[arg] as its operation after a push.
    int height[OP_COUNT] = {};
    // Whether it calls pow, log, log10 or exp (a fused one counts as none:
    // sharing looks for the call itself).
    bool library[OP_COUNT] = {};
    // The instruction that does it and then ADD_S, or MUL_S, in one step; the
    // one that does it to values[arg] pushed; itself where there is none.
    Op then_add[OP_COUNT] = {};
    Op then_multiply[OP_COUNT] = {};
    Op on_value[OP_COUNT] = {};
};

constexpr OpFacts op_facts() {
    OpFacts facts;
    for (std::size_t index = 0; index < OP_COUNT; ++index) {
        facts.then_add[index] = facts.then_multiply[index] = facts.on_value[index] = Op(index);
    }
    // Rows refer only to rows before them, so one pass in order suffices.
    for (const OpRow& row : OP_ROWS) {
        const auto at = static_cast<std::size_t>(row.op);
        if (row.base != Op::END) {
            const auto base = static_cast<std::size_t>(row.base);
            facts.height[at] =
                facts.height[base] + facts.height[static_cast<std::size_t>(row.combine)];
            (row.combine == Op::ADD_S ? facts.then_add : facts.then_multiply)[base] = row.op;
        } else if (row.of_value != Op::END) {
            const auto of = static_cast<std::size_t>(row.of_value);
            facts.height[at] = 1 + facts.height[of];
            facts.library[at] = facts.library[of];
            facts.on_value[of] = row.op;
        } else {
            facts.height[at] = row.own_height;
            facts.library[at] = row.library;
        }
    }
    return facts;
}

inline constexpr OpFacts OP_FACTS = op_facts();

constexpr int height_change(Op op) {
    return OP_FACTS.height[static_cast<std::size_t>(op)];
}

constexpr bool calls_library(Op op) {
    return OP_FACTS.library[static_cast<std::size_t>(op)];
}

constexpr bool rows_in_order() {
    for (std::size_t index = 0; index < OP_COUNT; ++index) {
        const OpRow& row = OP_ROWS[index];
        const bool fused = row.base != Op::END;
        const auto earlier = [index](Op op) { return static_cast<std::size_t>(op) < index; };
        if (static_cast<std::size_t>(row.op) != index || fused != (row.combine != Op::END) ||
            (fused &&
             ((row.combine != Op::ADD_S && row.combine != Op::MUL_S) || !earlier(row.base))) ||
            (row.of_value != Op::END && !earlier(row.of_value))) {
            return false;
        }
    }
    return true;
}
static_assert(rows_in_order(),
              "each row in its place, after the rows it refers to; fusions combine with ADD_S "
              "or MUL_S");

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
