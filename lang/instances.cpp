#include "instances.h"

#include <cstddef>
#include <cstdint>

#include "lowering.h"

namespace lang {

namespace {

struct Ends {
    std::int64_t first;
    std::int64_t last;
};

Ends ends_of(const LoopRange& range, Scope& scope) {
    return {whole_value(range.first, scope, "the start of the range of " + range.index),
            whole_value(range.last, scope, "the end of the range of " + range.index)};
}

// An odometer over the first `depth` ranges rather than recursion, so the
// number of ranges costs no stack; stops early when `visit` returns false.
template <typename Visit>
void turn_odometer(const std::vector<LoopRange>& ranges, std::size_t depth, Scope& scope,
                   Visit visit) {
    std::vector<std::int64_t> lasts;
    lasts.reserve(depth);
    while (true) {
        while (lasts.size() < depth) {
            const LoopRange& range = ranges[lasts.size()];
            const Ends ends = ends_of(range, scope);
            if (ends.first > ends.last) {
                break;
            }
            scope.bind(range, ends.first);
            lasts.push_back(ends.last);
        }
        if (lasts.size() == depth && !visit()) {
            while (!lasts.empty()) {
                scope.unbind();
                lasts.pop_back();
            }
            return;
        }
        while (!lasts.empty() && scope.innermost() == lasts.back()) {
            scope.unbind();
            lasts.pop_back();
        }
        if (lasts.empty()) {
            return;
        }
        scope.step_innermost();
    }
}

}  // namespace

void for_each_instance(const std::vector<LoopRange>& ranges, Scope& scope,
                       const std::function<void()>& visit) {
    turn_odometer(ranges, ranges.size(), scope, [&] {
        visit();
        return true;
    });
}

// The innermost range is counted from its ends, so that only the outer
// ranges are walked, and only until the count passes `cap`.
std::int64_t count_instances(const std::vector<LoopRange>& ranges, Scope& scope, std::int64_t cap) {
    if (ranges.empty()) {
        return 1;
    }
    const LoopRange& innermost = ranges.back();
    std::int64_t count = 0;
    turn_odometer(ranges, ranges.size() - 1, scope, [&] {
        const Ends ends = ends_of(innermost, scope);
        if (ends.first <= ends.last) {
            // Ends are whole numbers below 2^53, so neither this nor the sum overflows.
            count += ends.last - ends.first + 1;
        }
        return count <= cap;
    });
    return count;
}

}  // namespace lang
