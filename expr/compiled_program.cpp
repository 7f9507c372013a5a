#include "compiled_program.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "function_table.h"
#include "ordered_arithmetic.h"

namespace {

// The C function of a function instruction, from the table of functions: a
// constant, so the handler calls it directly.
template <Op op>
double apply(double x) {
    static_assert(applies_a_function(op), "a function instruction");
    constexpr double (*function)(double) = value_of(op);
    return function(x);
}

std::size_t deepest(const InstructionVector& code) {
    std::ptrdiff_t height = 0;
    std::ptrdiff_t most = 0;
    for (const Instruction& instruction : code) {
        height += height_change(instruction.op);
        most = std::max(most, height);
    }
    return static_cast<std::size_t>(most);
}

}  // namespace

CompiledProgram::CompiledProgram(InstructionVector code, TextConstants texts, std::size_t slots)
    : code_(std::move(code)), texts_(std::move(texts)), stack_(deepest(code_)), slots_(slots) {
    code_.push_back(Instruction{0.0, 0, Op::END});
}

// Threaded dispatch: each instruction's handler jumps straight to the next
// one's, so the processor predicts each jump from its own place. Labels as
// values are a GNU extension, hence the pragma.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
void CompiledProgram::run(const double* values, double* out) {
    texts_.check_locale();
    // Made from the list of operations, so in the order of Op; a label that
    // no handler defines fails to compile. Each program ends with END.
#define QUILLON_HANDLER(name, ...) &&op_##name,
    static const void* const handlers[] = {
        QUILLON_OPERATIONS(QUILLON_HANDLER, QUILLON_HANDLER, QUILLON_HANDLER)};
#undef QUILLON_HANDLER
    static_assert(std::size(handlers) == OP_COUNT, "one handler for each operation, in order");
    double* next = stack_.data();  // the slot above the top
    const Instruction* in = code_.data();
#define QUILLON_NEXT goto* handlers[static_cast<int>((++in)->op)]
// Pops `value`'s operand and combines `value` into the value below.
#define QUILLON_INTO(step, value)            \
    {                                        \
        const double combined = (value);     \
        --next;                              \
        next[-1] = step(next[-1], combined); \
    }
    goto* handlers[static_cast<int>(in->op)];
op_PUSH_K:
    *next++ = in->k;
    QUILLON_NEXT;
op_PUSH_V:
    *next++ = values[in->arg];
    QUILLON_NEXT;
op_PUSH_T:
    *next++ = texts_.value(in->arg);
    QUILLON_NEXT;
op_K_ADD_V:
    *next++ = sum_step(in->k, values[in->arg]);
    QUILLON_NEXT;
op_K_MUL_V:
    *next++ = product_step(in->k, values[in->arg]);
    QUILLON_NEXT;
op_ADD_K:
    next[-1] = sum_step(next[-1], in->k);
    QUILLON_NEXT;
op_ADD_V:
    next[-1] = sum_step(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_ADD_S:
    --next;
    next[-1] = sum_step(next[-1], *next);
    QUILLON_NEXT;
op_MUL_K:
    next[-1] = product_step(next[-1], in->k);
    QUILLON_NEXT;
op_MUL_V:
    next[-1] = product_step(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_MUL_S:
    --next;
    next[-1] = product_step(next[-1], *next);
    QUILLON_NEXT;
op_POW_K:
    next[-1] = std::pow(next[-1], in->k);
    QUILLON_NEXT;
op_POW_V:
    next[-1] = std::pow(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_POW_S:
    --next;
    next[-1] = std::pow(next[-1], *next);
    QUILLON_NEXT;
op_LN:
    next[-1] = apply<Op::LN>(next[-1]);
    QUILLON_NEXT;
op_LOG10:
    next[-1] = apply<Op::LOG10>(next[-1]);
    QUILLON_NEXT;
op_ABS:
    next[-1] = apply<Op::ABS>(next[-1]);
    QUILLON_NEXT;
op_EXP:
    next[-1] = apply<Op::EXP>(next[-1]);
    QUILLON_NEXT;
op_SQRT:
    next[-1] = apply<Op::SQRT>(next[-1]);
    QUILLON_NEXT;
op_ZERO:
    next[-1] = 0.0;
    QUILLON_NEXT;
op_KEEP:
    slots_[in->arg] = next[-1];
    QUILLON_NEXT;
op_PUSH_SLOT:
    *next++ = slots_[in->arg];
    QUILLON_NEXT;
op_STORE:
    out[in->arg] = *--next;
    QUILLON_NEXT;
op_DROP:
    --next;
    QUILLON_NEXT;
op_K_MUL_V_ADD:
    next[-1] = sum_step(next[-1], product_step(in->k, values[in->arg]));
    QUILLON_NEXT;
op_MUL_V_ADD:
    QUILLON_INTO(sum_step, product_step(next[-1], values[in->arg]));
    QUILLON_NEXT;
op_MUL_S_ADD:
    --next;
    QUILLON_INTO(sum_step, product_step(next[-1], *next));
    QUILLON_NEXT;
op_POW_K_ADD:
    QUILLON_INTO(sum_step, std::pow(next[-1], in->k));
    QUILLON_NEXT;
op_LN_ADD:
    QUILLON_INTO(sum_step, apply<Op::LN>(next[-1]));
    QUILLON_NEXT;
op_LOG10_ADD:
    QUILLON_INTO(sum_step, apply<Op::LOG10>(next[-1]));
    QUILLON_NEXT;
op_ABS_ADD:
    QUILLON_INTO(sum_step, apply<Op::ABS>(next[-1]));
    QUILLON_NEXT;
op_EXP_ADD:
    QUILLON_INTO(sum_step, apply<Op::EXP>(next[-1]));
    QUILLON_NEXT;
op_SQRT_ADD:
    QUILLON_INTO(sum_step, apply<Op::SQRT>(next[-1]));
    QUILLON_NEXT;
op_PUSH_SLOT_ADD:
    next[-1] = sum_step(next[-1], slots_[in->arg]);
    QUILLON_NEXT;
op_POW_K_MUL:
    QUILLON_INTO(product_step, std::pow(next[-1], in->k));
    QUILLON_NEXT;
op_EXP_MUL:
    QUILLON_INTO(product_step, apply<Op::EXP>(next[-1]));
    QUILLON_NEXT;
op_PUSH_SLOT_MUL:
    next[-1] = product_step(next[-1], slots_[in->arg]);
    QUILLON_NEXT;
op_LN_V:
    *next++ = apply<Op::LN>(values[in->arg]);
    QUILLON_NEXT;
op_LOG10_V:
    *next++ = apply<Op::LOG10>(values[in->arg]);
    QUILLON_NEXT;
op_ABS_V:
    *next++ = apply<Op::ABS>(values[in->arg]);
    QUILLON_NEXT;
op_EXP_V:
    *next++ = apply<Op::EXP>(values[in->arg]);
    QUILLON_NEXT;
op_SQRT_V:
    *next++ = apply<Op::SQRT>(values[in->arg]);
    QUILLON_NEXT;
op_V_POW_K:
    *next++ = std::pow(values[in->arg], in->k);
    QUILLON_NEXT;
op_LN_V_ADD:
    next[-1] = sum_step(next[-1], apply<Op::LN>(values[in->arg]));
    QUILLON_NEXT;
op_LOG10_V_ADD:
    next[-1] = sum_step(next[-1], apply<Op::LOG10>(values[in->arg]));
    QUILLON_NEXT;
op_ABS_V_ADD:
    next[-1] = sum_step(next[-1], apply<Op::ABS>(values[in->arg]));
    QUILLON_NEXT;
op_EXP_V_ADD:
    next[-1] = sum_step(next[-1], apply<Op::EXP>(values[in->arg]));
    QUILLON_NEXT;
op_SQRT_V_ADD:
    next[-1] = sum_step(next[-1], apply<Op::SQRT>(values[in->arg]));
    QUILLON_NEXT;
op_V_POW_K_ADD:
    next[-1] = sum_step(next[-1], std::pow(values[in->arg], in->k));
    QUILLON_NEXT;
op_EXP_V_MUL:
    next[-1] = product_step(next[-1], apply<Op::EXP>(values[in->arg]));
    QUILLON_NEXT;
op_V_POW_K_MUL:
    next[-1] = product_step(next[-1], std::pow(values[in->arg], in->k));
    QUILLON_NEXT;
op_END:
#undef QUILLON_INTO
#undef QUILLON_NEXT
    return;
}
#pragma GCC diagnostic pop
