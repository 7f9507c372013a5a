#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "symbolic.h"

namespace lang {

// Builders of trees that keep them small without changing what the plug-in
// computes. Constants are folded only where the evaluator would compute the
// same double from the unfolded tree: whole nodes of constants, and runs of
// constants at the start of a sum or product, which the evaluator accumulates
// first and in the same order. A sum or product that leads another of its
// kind is merged into it for the same reason. A fold that would give an
// infinity or NaN is left to the evaluator, since JSON cannot hold it.
//
// Factors -1 are gathered at the front of their product, which only moves a
// sign flip that rounding does not see.
//
// Three rules trade exactness at odd points for size: a product with a factor
// 0 is 0 (even where another factor is infinite or NaN), factors 1 and terms 0
// are dropped, and a sum of one term is that term (so -0.0 stays -0.0).
// The operands of a node; rvalues are moved in, where an initializer list
// would copy them.
template <typename... Operand>
std::vector<Expr> operands(Operand&&... operand) {
    std::vector<Expr> result;
    result.reserve(sizeof...(operand));
    (result.push_back(std::forward<Operand>(operand)), ...);
    return result;
}

Expr make_number(double value);
Expr make_variable(std::string symbol);
Expr make_sum(std::vector<Expr> terms);
Expr make_product(std::vector<Expr> factors);
Expr make_power(Expr base, Expr exponent);
Expr make_function(Function function, Expr argument);

// The number of nodes of `tree`.
std::int64_t node_count(const Expr& tree);

// -operand: a number changes sign; otherwise a product by -1, merged into the
// operand when that is a product (exact, since rounding is symmetric in sign).
Expr negated(Expr operand);

}  // namespace lang
