#include <gtest/gtest.h>

#include <vector>

#include "linear_convergence.h"

// When the watch proposes a jump: only two full Newton steps in a row that
// shrank by the same ratio, along one direction, continued by the current one.
namespace {

using Steps = std::vector<std::vector<double>>;

// The comparison the solver gathers while it makes a Newton step.
StepComparison compared_with_last(const LinearConvergenceWatch& watch,
                                  const std::vector<double>& step) {
    StepComparison comparison;
    const std::vector<double>& last = watch.last_step();
    if (last.size() == step.size()) {
        for (std::size_t index = 0; index < step.size(); ++index) {
            comparison.offer(last[index], step[index]);
        }
    }
    return comparison;
}

TEST(linear_convergence, proposes_the_jump_only_on_a_steady_linear_pattern) {
    const struct {
        const char* label;
        Steps taken;  // full Newton steps, the oldest first
        std::vector<double> current;
        bool broken;  // another kind of step came after the taken ones
        double factor;
    } cases[] = {
        {"halving: a double root", {{8, 4}, {4, 2}}, {2, 1}, false, 2.0},
        {"two thirds: a triple root", {{9, -9}, {6, -6}}, {4, -4}, false, 3.0},
        {"one step is no pattern", {{4, 2}}, {2, 1}, false, 0.0},
        {"ratios that differ: 1/4 then 1/2", {{16, 8}, {4, 2}}, {2, 1}, false, 0.0},
        {"a turn between the steps", {{8, 4}, {4, 2}}, {1, -2}, false, 0.0},
        {"a reversal between the steps", {{8, 4}, {4, 2}}, {-2, -1}, false, 0.0},
        {"too slow to extrapolate: 0.95", {{1, 0}, {0.95, 0}}, {0.9025, 0}, false, 0.0},
        {"quadratic convergence", {{1, 0}, {1e-2, 0}}, {1e-4, 0}, false, 0.0},
        {"another kind of step in between", {{8, 4}, {4, 2}}, {2, 1}, true, 0.0},
        {"a zero step", {{8, 4}, {4, 2}}, {0, 0}, false, 0.0},
    };
    for (const auto& c : cases) {
        LinearConvergenceWatch watch;
        for (std::vector<double> step : c.taken) {
            const StepComparison with_last = compared_with_last(watch, step);
            watch.newton_step_taken(step, with_last);
        }
        if (c.broken) {
            watch.other_step_taken();
        }
        EXPECT_DOUBLE_EQ(watch.extrapolation_factor(compared_with_last(watch, c.current)), c.factor)
            << c.label;
    }
}

}  // namespace
