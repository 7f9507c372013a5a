#include "compiled_program.h"

#include <algorithm>
#include <cmath>

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
            return 1;
        case Op::ADD_S:
        case Op::MUL_S:
        case Op::POW_S:
        case Op::STORE:
        case Op::DROP:
            return -1;
        default:
            return 0;
    }
}

std::size_t deepest(const std::vector<Instruction>& code) {
    std::ptrdiff_t height = 0;
    std::ptrdiff_t most = 0;
    for (const Instruction& instruction : code) {
        height += height_change(instruction.op);
        most = std::max(most, height);
    }
    return static_cast<std::size_t>(most);
}

}  // namespace

CompiledProgram::CompiledProgram(std::vector<Instruction> code, TextConstants texts)
    : code_(std::move(code)), texts_(std::move(texts)), stack_(deepest(code_)) {}

void CompiledProgram::run(const double* values, double* out) {
    texts_.check_locale();
    double* next = stack_.data();  // the slot above the top
    for (const Instruction& in : code_) {
        switch (in.op) {
            case Op::PUSH_K:
                *next++ = in.k;
                break;
            case Op::PUSH_V:
                *next++ = values[in.arg];
                break;
            case Op::PUSH_T:
                *next++ = texts_.value(in.arg);
                break;
            case Op::K_ADD_V:
                *next++ = sum_step(in.k, values[in.arg]);
                break;
            case Op::K_MUL_V:
                *next++ = product_step(in.k, values[in.arg]);
                break;
            case Op::ADD_K:
                next[-1] = sum_step(next[-1], in.k);
                break;
            case Op::ADD_V:
                next[-1] = sum_step(next[-1], values[in.arg]);
                break;
            case Op::ADD_S:
                --next;
                next[-1] = sum_step(next[-1], *next);
                break;
            case Op::MUL_K:
                next[-1] = product_step(next[-1], in.k);
                break;
            case Op::MUL_V:
                next[-1] = product_step(next[-1], values[in.arg]);
                break;
            case Op::MUL_S:
                --next;
                next[-1] = product_step(next[-1], *next);
                break;
            case Op::POW_K:
                next[-1] = std::pow(next[-1], in.k);
                break;
            case Op::POW_V:
                next[-1] = std::pow(next[-1], values[in.arg]);
                break;
            case Op::POW_S:
                --next;
                next[-1] = std::pow(next[-1], *next);
                break;
            case Op::LN:
                next[-1] = std::log(next[-1]);
                break;
            case Op::LOG10:
                next[-1] = std::log10(next[-1]);
                break;
            case Op::ABS:
                next[-1] = clear_sign(next[-1]);
                break;
            case Op::EXP:
                next[-1] = std::exp(next[-1]);
                break;
            case Op::SQRT:
                next[-1] = guarded_sqrt(next[-1]);
                break;
            case Op::ZERO:
                next[-1] = 0.0;
                break;
            case Op::STORE:
                out[in.arg] = *--next;
                break;
            case Op::DROP:
                --next;
                break;
        }
    }
}
