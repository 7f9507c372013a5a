#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

#include "symbolic.h"

namespace lang {

// Copies a subtree that a lowered form uses more than once, counting its
// nodes against the expression's limit.
using SubtreeCopier = std::function<Expr(const Expr&)>;

// A function the model file does not have, written in terms of the six it
// has, in a form that overflows only where the function itself does; its
// derivatives come from the derivative builder like those of any tree.
struct LoweredFunction {
    std::string_view name;
    std::size_t least_arguments;
    std::size_t most_arguments;
    // The form, of the arguments already lowered.
    Expr (*lower)(std::vector<Expr> arguments, const SubtreeCopier& copy);
};

inline constexpr std::size_t ANY_NUMBER = std::numeric_limits<std::size_t>::max();

// min, max, tanh, sinh, cosh.
extern const LoweredFunction LOWERED_FUNCTIONS[];
extern const std::size_t LOWERED_FUNCTION_COUNT;

// Null for a name that is none of them.
const LoweredFunction* lowered_function_named(std::string_view name);

}  // namespace lang
