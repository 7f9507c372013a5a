#include "linear_convergence.h"

#include <cmath>

namespace {

// The ratios that mark linear convergence: two consecutive ones within this
// share of each other, in this range (1/2 at a double root, 2/3 at a triple
// one; the factor 1 / (1 - r) stays at most 10), with the steps this close to
// parallel. Quadratic convergence makes the ratios fall fast, so it never
// shows this pattern for long.
constexpr double RATIO_AGREEMENT = 0.1;
constexpr double SMALLEST_RATIO = 0.2;
constexpr double LARGEST_RATIO = 0.9;
constexpr double SMALLEST_COSINE = 0.99;

}  // namespace

double StepComparison::steady_ratio() const {
    const double earlier_length = std::sqrt(earlier_squares_);
    const double later_length = std::sqrt(later_squares_);
    if (!(earlier_length > 0.0) || !(later_length > 0.0) ||
        !(product_ >= SMALLEST_COSINE * earlier_length * later_length)) {
        return std::nan("");
    }
    return later_length / earlier_length;
}

void LinearConvergenceWatch::newton_step_taken(std::vector<double>& relative_step,
                                               const StepComparison& with_last) {
    // Without a last step nothing was offered, and the ratio is NaN.
    newer_ratio_ = with_last.steady_ratio();
    newer_.swap(relative_step);
}

void LinearConvergenceWatch::other_step_taken() {
    newer_.clear();
}

double LinearConvergenceWatch::extrapolation_factor(const StepComparison& with_last) const {
    if (newer_.empty()) {
        return 0.0;
    }
    const double before = newer_ratio_;
    const double now = with_last.steady_ratio();
    if (!(now >= SMALLEST_RATIO && now <= LARGEST_RATIO) ||
        !(std::fabs(now - before) <= RATIO_AGREEMENT * now)) {
        return 0.0;
    }
    return 1.0 / (1.0 - now);
}
