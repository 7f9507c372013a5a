#include "lowered_functions.h"

#include <iterator>
#include <utility>

#include "algebra.h"

namespace lang {

namespace {

// Halves are exact (but in the subnormal range), so 0.5*a + 0.5*b cannot
// overflow where a and b are finite, as a + b can.
Expr half(Expr operand) {
    return make_product(operands(make_number(0.5), std::move(operand)));
}

// max(a, b) = 0.5*a + 0.5*b + abs(0.5*a - 0.5*b), and min with "- abs":
// exact where a and b differ by much, within a rounding or two otherwise, and
// at a = b the derivative is the mean of the two slopes.
Expr extreme(Expr a, Expr b, bool largest, const SubtreeCopier& copy) {
    Expr gap =
        make_function(Function::abs, make_sum(operands(half(copy(a)), negated(half(copy(b))))));
    return make_sum(operands(half(std::move(a)), half(std::move(b)),
                             largest ? std::move(gap) : negated(std::move(gap))));
}

// Of more than two arguments, in halves, so that each argument is copied as
// often as the depth of a balanced tree of pairs.
Expr extreme_of(std::vector<Expr>& arguments, std::size_t first, std::size_t end, bool largest,
                const SubtreeCopier& copy) {
    if (end - first == 1) {
        return std::move(arguments[first]);
    }
    const std::size_t middle = first + (end - first) / 2;
    Expr left = extreme_of(arguments, first, middle, largest, copy);
    Expr right = extreme_of(arguments, middle, end, largest, copy);
    return extreme(std::move(left), std::move(right), largest, copy);
}

Expr lower_max(std::vector<Expr> arguments, const SubtreeCopier& copy) {
    return extreme_of(arguments, 0, arguments.size(), true, copy);
}

Expr lower_min(std::vector<Expr> arguments, const SubtreeCopier& copy) {
    return extreme_of(arguments, 0, arguments.size(), false, copy);
}

// exp(sign*x - abs(x)): at most 1, so never overflowing.
Expr damped_exp(double sign, Expr x, const SubtreeCopier& copy) {
    Expr signed_x = sign < 0 ? negated(copy(x)) : copy(x);
    return make_function(
        Function::exp,
        make_sum(operands(std::move(signed_x), negated(make_function(Function::abs, copy(x))))));
}

// tanh(x) = (p - q)/(p + q), p = exp(x - abs(x)), q = exp(-x - abs(x)): one of
// p and q is 1 and the other at most 1, so nothing overflows, the value is
// odd in x bit for bit, and the derivative, 1 at 0, is finite everywhere.
Expr lower_tanh(std::vector<Expr> arguments, const SubtreeCopier& copy) {
    const Expr& x = arguments.front();
    Expr difference = make_sum(operands(damped_exp(1, x, copy), negated(damped_exp(-1, x, copy))));
    Expr total = make_sum(operands(damped_exp(1, x, copy), damped_exp(-1, x, copy)));
    return make_product(
        operands(std::move(difference), make_power(std::move(total), make_number(-1.0))));
}

// 0.5*exp(x/2)*exp(x/2) = exp(x)/2, which overflows only where exp(x)/2 does
// (exp(x) alone overflows from x = 709.78, sinh and cosh from 710.48).
Expr half_exp(double sign, const Expr& x, const SubtreeCopier& copy) {
    const auto root = [&] {
        return make_function(Function::exp,
                             make_product(operands(make_number(0.5 * sign), copy(x))));
    };
    return make_product(operands(make_number(0.5), root(), root()));
}

// sinh(x) = exp(x)/2 - exp(-x)/2.
Expr lower_sinh(std::vector<Expr> arguments, const SubtreeCopier& copy) {
    const Expr& x = arguments.front();
    return make_sum(operands(half_exp(1, x, copy), negated(half_exp(-1, x, copy))));
}

// cosh(x) = exp(x)/2 + exp(-x)/2.
Expr lower_cosh(std::vector<Expr> arguments, const SubtreeCopier& copy) {
    const Expr& x = arguments.front();
    return make_sum(operands(half_exp(1, x, copy), half_exp(-1, x, copy)));
}

}  // namespace

const LoweredFunction LOWERED_FUNCTIONS[] = {
    {"min", 2, ANY_NUMBER, lower_min}, {"max", 2, ANY_NUMBER, lower_max},
    {"tanh", 1, 1, lower_tanh},        {"sinh", 1, 1, lower_sinh},
    {"cosh", 1, 1, lower_cosh},
};

const std::size_t LOWERED_FUNCTION_COUNT = std::size(LOWERED_FUNCTIONS);

const LoweredFunction* lowered_function_named(std::string_view name) {
    for (const LoweredFunction& function : LOWERED_FUNCTIONS) {
        if (function.name == name) {
            return &function;
        }
    }
    return nullptr;
}

}  // namespace lang
