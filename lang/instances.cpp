#include "instances.h"

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

}  // namespace

// An odometer rather than recursion, so the number of ranges costs no stack.
void for_each_instance(const std::vector<LoopRange>& ranges, Scope& scope,
                       const std::function<void()>& visit) {
    std::vector<std::int64_t> lasts;
    lasts.reserve(ranges.size());
    while (true) {
        while (lasts.size() < ranges.size()) {
            const LoopRange& range = ranges[lasts.size()];
            const Ends ends = ends_of(range, scope);
            if (ends.first > ends.last) {
                break;
            }
            scope.bind(range, ends.first);
            lasts.push_back(ends.last);
        }
        if (lasts.size() == ranges.size()) {
            visit();
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

}  // namespace lang
