#include "compiled_program.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "function_value.h"
#include "ordered_arithmetic.h"

namespace {

// How an instruction changes the stack's height.
int height_change(Op op) {
    switch (op) {
        case Op::PUSH_K:
        case Op::PUSH_V:
        case Op::PUSH_T:
        case Op::K_ADD_V:
        case Op::K_MUL_V:
        case Op::PUSH_SLOT:
        case Op::LN_V:
        case Op::LOG10_V:
        case Op::ABS_V:
        case Op::EXP_V:
        case Op::SQRT_V:
        case Op::V_POW_K:
            return 1;
        case Op::ADD_S:
        case Op::MUL_S:
        case Op::POW_S:
        case Op::STORE:
        case Op::DROP:
        case Op::MUL_V_ADD:
        case Op::POW_K_ADD:
        case Op::LN_ADD:
        case Op::LOG10_ADD:
        case Op::ABS_ADD:
        case Op::EXP_ADD:
        case Op::SQRT_ADD:
        case Op::POW_K_MUL:
        case Op::EXP_MUL:
            return -1;
        case Op::MUL_S_ADD:
            return -2;
        case Op::ADD_K:
        case Op::ADD_V:
        case Op::MUL_K:
        case Op::MUL_V:
        case Op::POW_K:
        case Op::POW_V:
        case Op::LN:
        case Op::LOG10:
        case Op::ABS:
        case Op::EXP:
        case Op::SQRT:
        case Op::ZERO:
        case Op::KEEP:
        case Op::K_MUL_V_ADD:
        case Op::PUSH_SLOT_ADD:
        case Op::PUSH_SLOT_MUL:
        case Op::LN_V_ADD:
        case Op::LOG10_V_ADD:
        case Op::ABS_V_ADD:
        case Op::EXP_V_ADD:
        case Op::SQRT_V_ADD:
        case Op::V_POW_K_ADD:
        case Op::EXP_V_MUL:
        case Op::V_POW_K_MUL:
        case Op::END:
            return 0;
    }
    return 0;  // not an operation: no program holds one
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
    // In the order of Op; each program ends with END.
    static const void* const handlers[] = {
        &&op_push_k,      &&op_push_v,        &&op_push_t,     &&op_k_add_v,       &&op_k_mul_v,
        &&op_add_k,       &&op_add_v,         &&op_add_s,      &&op_mul_k,         &&op_mul_v,
        &&op_mul_s,       &&op_pow_k,         &&op_pow_v,      &&op_pow_s,         &&op_ln,
        &&op_log10,       &&op_abs,           &&op_exp,        &&op_sqrt,          &&op_zero,
        &&op_keep,        &&op_push_slot,     &&op_store,      &&op_drop,          &&op_k_mul_v_add,
        &&op_mul_v_add,   &&op_mul_s_add,     &&op_pow_k_add,  &&op_ln_add,        &&op_log10_add,
        &&op_abs_add,     &&op_exp_add,       &&op_sqrt_add,   &&op_push_slot_add, &&op_pow_k_mul,
        &&op_exp_mul,     &&op_push_slot_mul, &&op_ln_v,       &&op_log10_v,       &&op_abs_v,
        &&op_exp_v,       &&op_sqrt_v,        &&op_v_pow_k,    &&op_ln_v_add,      &&op_log10_v_add,
        &&op_abs_v_add,   &&op_exp_v_add,     &&op_sqrt_v_add, &&op_v_pow_k_add,   &&op_exp_v_mul,
        &&op_v_pow_k_mul, &&op_end,
    };
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
op_push_k:
    *next++ = in->k;
    QUILLON_NEXT;
op_push_v:
    *next++ = values[in->arg];
    QUILLON_NEXT;
op_push_t:
    *next++ = texts_.value(in->arg);
    QUILLON_NEXT;
op_k_add_v:
    *next++ = sum_step(in->k, values[in->arg]);
    QUILLON_NEXT;
op_k_mul_v:
    *next++ = product_step(in->k, values[in->arg]);
    QUILLON_NEXT;
op_add_k:
    next[-1] = sum_step(next[-1], in->k);
    QUILLON_NEXT;
op_add_v:
    next[-1] = sum_step(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_add_s:
    --next;
    next[-1] = sum_step(next[-1], *next);
    QUILLON_NEXT;
op_mul_k:
    next[-1] = product_step(next[-1], in->k);
    QUILLON_NEXT;
op_mul_v:
    next[-1] = product_step(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_mul_s:
    --next;
    next[-1] = product_step(next[-1], *next);
    QUILLON_NEXT;
op_pow_k:
    next[-1] = std::pow(next[-1], in->k);
    QUILLON_NEXT;
op_pow_v:
    next[-1] = std::pow(next[-1], values[in->arg]);
    QUILLON_NEXT;
op_pow_s:
    --next;
    next[-1] = std::pow(next[-1], *next);
    QUILLON_NEXT;
op_ln:
    next[-1] = std::log(next[-1]);
    QUILLON_NEXT;
op_log10:
    next[-1] = std::log10(next[-1]);
    QUILLON_NEXT;
op_abs:
    next[-1] = clear_sign(next[-1]);
    QUILLON_NEXT;
op_exp:
    next[-1] = std::exp(next[-1]);
    QUILLON_NEXT;
op_sqrt:
    next[-1] = guarded_sqrt(next[-1]);
    QUILLON_NEXT;
op_zero:
    next[-1] = 0.0;
    QUILLON_NEXT;
op_keep:
    slots_[in->arg] = next[-1];
    QUILLON_NEXT;
op_push_slot:
    *next++ = slots_[in->arg];
    QUILLON_NEXT;
op_store:
    out[in->arg] = *--next;
    QUILLON_NEXT;
op_drop:
    --next;
    QUILLON_NEXT;
op_k_mul_v_add:
    next[-1] = sum_step(next[-1], product_step(in->k, values[in->arg]));
    QUILLON_NEXT;
op_mul_v_add:
    QUILLON_INTO(sum_step, product_step(next[-1], values[in->arg]));
    QUILLON_NEXT;
op_mul_s_add:
    --next;
    QUILLON_INTO(sum_step, product_step(next[-1], *next));
    QUILLON_NEXT;
op_pow_k_add:
    QUILLON_INTO(sum_step, std::pow(next[-1], in->k));
    QUILLON_NEXT;
op_ln_add:
    QUILLON_INTO(sum_step, std::log(next[-1]));
    QUILLON_NEXT;
op_log10_add:
    QUILLON_INTO(sum_step, std::log10(next[-1]));
    QUILLON_NEXT;
op_abs_add:
    QUILLON_INTO(sum_step, clear_sign(next[-1]));
    QUILLON_NEXT;
op_exp_add:
    QUILLON_INTO(sum_step, std::exp(next[-1]));
    QUILLON_NEXT;
op_sqrt_add:
    QUILLON_INTO(sum_step, guarded_sqrt(next[-1]));
    QUILLON_NEXT;
op_push_slot_add:
    next[-1] = sum_step(next[-1], slots_[in->arg]);
    QUILLON_NEXT;
op_pow_k_mul:
    QUILLON_INTO(product_step, std::pow(next[-1], in->k));
    QUILLON_NEXT;
op_exp_mul:
    QUILLON_INTO(product_step, std::exp(next[-1]));
    QUILLON_NEXT;
op_push_slot_mul:
    next[-1] = product_step(next[-1], slots_[in->arg]);
    QUILLON_NEXT;
op_ln_v:
    *next++ = std::log(values[in->arg]);
    QUILLON_NEXT;
op_log10_v:
    *next++ = std::log10(values[in->arg]);
    QUILLON_NEXT;
op_abs_v:
    *next++ = clear_sign(values[in->arg]);
    QUILLON_NEXT;
op_exp_v:
    *next++ = std::exp(values[in->arg]);
    QUILLON_NEXT;
op_sqrt_v:
    *next++ = guarded_sqrt(values[in->arg]);
    QUILLON_NEXT;
op_v_pow_k:
    *next++ = std::pow(values[in->arg], in->k);
    QUILLON_NEXT;
op_ln_v_add:
    next[-1] = sum_step(next[-1], std::log(values[in->arg]));
    QUILLON_NEXT;
op_log10_v_add:
    next[-1] = sum_step(next[-1], std::log10(values[in->arg]));
    QUILLON_NEXT;
op_abs_v_add:
    next[-1] = sum_step(next[-1], clear_sign(values[in->arg]));
    QUILLON_NEXT;
op_exp_v_add:
    next[-1] = sum_step(next[-1], std::exp(values[in->arg]));
    QUILLON_NEXT;
op_sqrt_v_add:
    next[-1] = sum_step(next[-1], guarded_sqrt(values[in->arg]));
    QUILLON_NEXT;
op_v_pow_k_add:
    next[-1] = sum_step(next[-1], std::pow(values[in->arg], in->k));
    QUILLON_NEXT;
op_exp_v_mul:
    next[-1] = product_step(next[-1], std::exp(values[in->arg]));
    QUILLON_NEXT;
op_v_pow_k_mul:
    next[-1] = product_step(next[-1], std::pow(values[in->arg], in->k));
    QUILLON_NEXT;
op_end:
#undef QUILLON_INTO
#undef QUILLON_NEXT
    return;
}
#pragma GCC diagnostic pop
