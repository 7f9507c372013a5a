#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "derivative_check.h"

// The comparison of a model's derivative with finite differences of its
// residual: right derivatives of awkward residuals must stay quiet, wrong ones
// must be caught, and a residual that is not smooth at the point must be told
// apart from a wrong derivative.
namespace {

struct DerivativeCase {
    const char* label;
    std::function<double(double)> residual;
    double x;
    double derivative;
    double floor;
    DerivativeVerdict verdict;
};

DerivativeComparison compare(const std::function<double(double)>& residual, double x,
                             double derivative, double floor = 0) {
    return compare_derivative(residual, x, residual(x), derivative, floor);
}

const char* name(DerivativeVerdict verdict) {
    switch (verdict) {
        case DerivativeVerdict::agrees:
            return "agrees";
        case DerivativeVerdict::mismatch:
            return "mismatch";
        case DerivativeVerdict::kink:
            return "kink";
        case DerivativeVerdict::undecided:
            return "undecided";
    }
    return "?";
}

TEST(compare_derivative, tells_right_from_wrong_and_from_kinks) {
    const auto square = [](double x) { return x * x - 4; };
    const std::vector<DerivativeCase> cases{
        {"right, well scaled", square, 3, 6, 0, DerivativeVerdict::agrees},
        // The differences of a residual near 1e12 are mostly rounding.
        {"right, on a large constant", [](double x) { return 1e12 + x; }, 1, 1, 0,
         DerivativeVerdict::agrees},
        {"right, tiny coefficient and large x", [](double x) { return 1e-10 * x * x * x; }, 1e5, 3,
         0, DerivativeVerdict::agrees},
        {"right, exponential growth", [](double x) { return std::exp(x); }, 50, std::exp(50.0), 0,
         DerivativeVerdict::agrees},
        // Curvature large enough that only steps below the base one agree.
        {"right, strong curvature", [](double x) { return 1 / x; }, 1e-3, -1e6, 0,
         DerivativeVerdict::agrees},
        {"right, zero slope of a constant", [](double) { return 5.0; }, 2, 0, 0,
         DerivativeVerdict::agrees},
        {"within the row's floor", [](double) { return 0.0; }, 1, 1e-9, 1e-8,
         DerivativeVerdict::agrees},
        {"beyond a zero floor", [](double) { return 0.0; }, 1, 1e-9, 0,
         DerivativeVerdict::mismatch},
        {"wrong by half", square, 3, 3, 0, DerivativeVerdict::mismatch},
        {"wrong sign", square, 3, -6, 0, DerivativeVerdict::mismatch},
        {"wrong by one percent", square, 3, 6.06, 0, DerivativeVerdict::mismatch},
        {"wrong, badly scaled", [](double x) { return 1e-10 * x * x * x; }, 1e5, 3.1, 0,
         DerivativeVerdict::mismatch},
        // Central differences of abs at 0 are 0, whatever the step.
        {"abs at 0, given the mean of its slopes", [](double x) { return std::fabs(x); }, 0, 0, 0,
         DerivativeVerdict::agrees},
        {"abs at 0, given one side", [](double x) { return std::fabs(x); }, 0, 1, 0,
         DerivativeVerdict::kink},
        {"max at its switch", [](double x) { return std::max(x - 2, 0.0); }, 2, 0.25, 0,
         DerivativeVerdict::kink},
        {"abs away from 0, wrong", [](double x) { return std::fabs(x); }, 3, -1, 0,
         DerivativeVerdict::mismatch},
        {"undefined on both sides", [](double x) { return x == 0 ? 0.0 : std::nan(""); }, 0, 1, 0,
         DerivativeVerdict::undecided},
    };
    for (const DerivativeCase& c : cases) {
        const DerivativeComparison comparison = compare(c.residual, c.x, c.derivative, c.floor);
        EXPECT_EQ(comparison.verdict, c.verdict)
            << c.label << ": " << name(comparison.verdict) << ", central " << comparison.central;
    }
}

// What a finding shows besides the verdict: the difference it compared with,
// and for a kink the slopes on either side.
TEST(compare_derivative, reports_the_differences_it_compared_with) {
    const DerivativeComparison wrong = compare([](double x) { return x * x; }, 3, 3);
    EXPECT_NEAR(wrong.central, 6, 1e-6);
    EXPECT_GT(wrong.step, 0);

    const DerivativeComparison kink = compare([](double x) { return std::fabs(x); }, 0, 0.5);
    EXPECT_DOUBLE_EQ(kink.forward, 1);
    EXPECT_DOUBLE_EQ(kink.backward, -1);
}

}  // namespace
