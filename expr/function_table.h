#pragma once

// The six functions a function node may name, in one table. Each row gives
// the name, the function's identity, the instruction that applies it in a
// compiled program, the C function that computes it and the rule of its
// derivative; the tree walk, the compiled programs and their folding, the
// model doctor and the equation language's builder and derivatives all take
// what they need from here.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "instruction.h"

// Clears the sign bit: -0.0 gives +0.0 and a NaN keeps its payload.
inline double clear_sign(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= ~(std::uint64_t{1} << 63);
    std::memcpy(&x, &bits, sizeof bits);
    return x;
}

// Negative arguments and NaN give 0.0; -0.0 gives -0.0.
inline double guarded_sqrt(double x) {
    return x >= 0.0 ? std::sqrt(x) : 0.0;
}

inline double natural_log(double x) {
    return std::log(x);
}

inline double decimal_log(double x) {
    return std::log10(x);
}

inline double exponential(double x) {
    return std::exp(x);
}

// The functions, as named in a model file; log and lg are both base 10.
enum class Function : std::uint8_t { ln, log, lg, abs, exp, sqrt };

// d f(u) = scale * u' * g(u), where g is:
enum class DerivativeRule : std::uint8_t {
    power_of_argument,  // u^exponent
    itself,             // f(u)
    sign_of_argument,   // sign(u): 1 above 0, -1 below, 0 at 0
};

struct FunctionRow {
    std::string_view name;
    Function function;
    Op op;  // applies it to the value on top of a program's stack
    double (*value)(double);
    DerivativeRule rule;
    double scale;
    double exponent;  // of power_of_argument
};

// 1 / ln(10), rounded once.
inline constexpr double LOG10_E = 0.43429448190325182765;

// In the order of Function. Names are matched exactly.
inline constexpr FunctionRow FUNCTIONS[] = {
    {"ln", Function::ln, Op::LN, natural_log, DerivativeRule::power_of_argument, 1.0, -1.0},
    {"log", Function::log, Op::LOG10, decimal_log, DerivativeRule::power_of_argument, LOG10_E,
     -1.0},
    {"lg", Function::lg, Op::LOG10, decimal_log, DerivativeRule::power_of_argument, LOG10_E, -1.0},
    {"abs", Function::abs, Op::ABS, clear_sign, DerivativeRule::sign_of_argument, 1.0, 0.0},
    {"exp", Function::exp, Op::EXP, exponential, DerivativeRule::itself, 1.0, 0.0},
    {"sqrt", Function::sqrt, Op::SQRT, guarded_sqrt, DerivativeRule::power_of_argument, 0.5, -0.5},
};

inline constexpr std::size_t FUNCTION_COUNT = std::size(FUNCTIONS);

constexpr bool rows_follow_the_enum() {
    for (std::size_t index = 0; index < FUNCTION_COUNT; ++index) {
        if (static_cast<std::size_t>(FUNCTIONS[index].function) != index) {
            return false;
        }
    }
    return true;
}
static_assert(rows_follow_the_enum(), "FUNCTIONS lists the functions in the order of Function");

constexpr const FunctionRow& row_of(Function function) {
    return FUNCTIONS[static_cast<std::size_t>(function)];
}

// Whether `op` is a function instruction (LN, LOG10, ABS, EXP or SQRT). Asked
// of the operation rather than of value_of's pointer: whether a function's
// address is null is no constant expression under every build's flags.
constexpr bool applies_a_function(Op op) {
    for (const FunctionRow& row : FUNCTIONS) {
        if (row.op == op) {
            return true;
        }
    }
    return false;
}

// The C function of a function instruction, for the programs' handlers: a
// constant, so each handler calls it directly.
constexpr double (*value_of(Op op))(double) {
    for (const FunctionRow& row : FUNCTIONS) {
        if (row.op == op) {
            return row.value;
        }
    }
    return nullptr;
}

// The row of the function named `name`; null for a name that is none of them.
const FunctionRow* function_named(std::string_view name);

// The value of function `name` at `x`; 0.0 for a name that is none of the
// six, as the evaluator takes such a node.
double function_value(std::string_view name, double x);

// The names for a message: "ln, log, lg, abs, exp and sqrt", the last joined
// by `last_joint`.
std::string function_names(const char* last_joint = " and ");
