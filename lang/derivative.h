#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "build_limits.h"
#include "symbolic.h"

namespace lang {

// The variables of `expr` in order of first appearance, depth first and left
// to right; the views point into `expr`.
std::vector<std::string_view> variables_in_order(const Expr& expr);

// Numbers each variable symbol of a tree.
using VariableNumbers = std::unordered_map<std::string_view, std::size_t>;

struct Partial {
    std::size_t variable;  // its number in VariableNumbers
    Expr derivative;
};

// The exact partial derivatives of `expr`, all in one walk, ordered by
// variable number; a derivative that simplifies to 0 is left out. `numbers`
// must number every variable of `expr`. Where a bound on the nodes that the
// derivatives copy from `expr` exceeds what `budget` has left, a first pass
// that makes no copies charges them to `budget`, so a derivative beyond the
// budget raises NodeLimitReached after time in proportion to the budget's
// limit and little memory, not after building it.
//
// Conventions where the plug-in's functions are not differentiable:
// - d abs(u) = (0^sqrt(-u) - 0^sqrt(u)) * u'. With the plug-in's sqrt, which
//   is 0 for negative arguments, and 0^0 = 1, the first factor is exactly
//   sign(u): 1 above 0, -1 below, and 0 at u = 0.
// - d sqrt(u) = 0.5 * u' * u^-0.5: +infinity at u = 0, and NaN below 0, where
//   the plug-in's sqrt is held at 0.
// - d (u^v) = v * u' * u^(v - 1) where v does not depend on the variable,
//   u^v * ln(u) * v' where u does not, and u^v * (v' * ln(u) + v * u' * u^-1)
//   otherwise, which needs u > 0.
// - d ln(u) = u' * u^-1; d log(u) = d lg(u) = (1/ln 10) * u' * u^-1;
//   d exp(u) = u' * exp(u): the rules of the table of functions.
// - In a product, a factor u and a factor abs(u)^p (or abs(u), p = 1), for a
//   number p, differentiate as one: (1 + p) * abs(u)^p * u', finite at u = 0,
//   where the rule for each of them gives 0 times infinity for p < 1.
std::vector<Partial> partial_derivatives(const Expr& expr, const VariableNumbers& numbers,
                                         NodeBudget& budget);

}  // namespace lang
