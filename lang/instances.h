#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "scope.h"
#include "syntax.h"

namespace lang {

// Calls `visit` once for every combination of the ranges' index values, the
// first range outermost, with the indices bound in `scope`. The ends of a
// range may use the indices of the ranges before it; an empty range (first
// above last) contributes no combination.
void for_each_instance(const std::vector<LoopRange>& ranges, Scope& scope,
                       const std::function<void()>& visit);

// How many combinations for_each_instance would visit, or a number above
// `cap` as soon as the count passes it, so that a range of 10^9 values costs
// no time to refuse.
std::int64_t count_instances(const std::vector<LoopRange>& ranges, Scope& scope, std::int64_t cap);

}  // namespace lang
