#pragma once

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

}  // namespace lang
