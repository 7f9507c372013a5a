#include "derivative_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double RELATIVE_TOLERANCE = 1e-6;
constexpr double ROUNDING_FACTOR = 64 * std::numeric_limits<double>::epsilon();
constexpr double STEP_FACTORS[] = {1, 1e1, 1e2, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6};
constexpr std::size_t SCREEN_STEPS = 3;
// Below this share of its value at the base step, the jump between the
// one-sided differences shrinks with the step as it does for a smooth residual.
constexpr double SMOOTH_JUMP_SHRINK = 0.25;
constexpr double KINK_STEP_FACTOR = 1e-2;

struct Sides {
    double forward;
    double backward;
    double rounding;  // what rounding of the residual alone can make of a difference
    bool finite() const { return std::isfinite(forward) && std::isfinite(backward); }
    double jump() const { return std::fabs(forward - backward); }
    double central() const { return 0.5 * (forward + backward); }
};

Sides differences(const std::function<double(double)>& residual_at, double x, double at_x,
                  double step) {
    const double above = residual_at(x + step);
    const double below = residual_at(x - step);
    const double size = std::max({std::fabs(above), std::fabs(below), std::fabs(at_x)});
    return {(above - at_x) / step, (at_x - below) / step, ROUNDING_FACTOR * size / step};
}

bool close(double derivative, double difference, double floor, double rounding) {
    const double larger = std::max(std::fabs(derivative), std::fabs(difference));
    return std::fabs(derivative - difference) <= RELATIVE_TOLERANCE * larger + floor + rounding;
}

// A kink: the one-sided differences keep apart as the step shrinks, where
// for a smooth residual their gap shrinks with the step.
bool kinked(const Sides& base, const Sides& small, double floor) {
    if (!base.finite() || !small.finite()) {
        return false;
    }
    const bool apart = !close(base.forward, base.backward, floor, base.rounding);
    return apart && small.jump() > SMOOTH_JUMP_SHRINK * base.jump() + small.rounding;
}

double base_step(double x) {
    return std::cbrt(std::numeric_limits<double>::epsilon()) * std::max(std::fabs(x), 1.0);
}

}  // namespace

DerivativeVerdict screen_derivative(const std::function<double(double)>& residual_at, double x,
                                    double at_x, double derivative, double floor) {
    DerivativeVerdict verdict = DerivativeVerdict::undecided;
    for (std::size_t index = 0; index < SCREEN_STEPS; ++index) {
        const Sides sides = differences(residual_at, x, at_x, base_step(x) * STEP_FACTORS[index]);
        if (!sides.finite()) {
            continue;
        }
        if (close(derivative, sides.central(), floor, sides.rounding)) {
            return DerivativeVerdict::agrees;
        }
        verdict = DerivativeVerdict::mismatch;
    }
    return verdict;
}

DerivativeComparison compare_derivative(const std::function<double(double)>& residual_at, double x,
                                        double at_x, double derivative, double floor) {
    DerivativeComparison result;
    result.step = base_step(x);
    bool formed = false;
    for (const double factor : STEP_FACTORS) {
        const Sides sides = differences(residual_at, x, at_x, result.step * factor);
        if (!sides.finite()) {
            continue;
        }
        if (close(derivative, sides.central(), floor, sides.rounding)) {
            result.verdict = DerivativeVerdict::agrees;
            result.central = sides.central();
            return result;
        }
        if (!formed) {
            result.central = sides.central();
            formed = true;
        }
    }
    if (!formed) {
        return result;
    }
    const Sides base = differences(residual_at, x, at_x, result.step);
    const Sides small = differences(residual_at, x, at_x, result.step * KINK_STEP_FACTOR);
    result.forward = small.forward;
    result.backward = small.backward;
    result.verdict =
        kinked(base, small, floor) ? DerivativeVerdict::kink : DerivativeVerdict::mismatch;
    return result;
}
