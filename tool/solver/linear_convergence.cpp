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

// The ratio |later| / |earlier| when the two steps point the same way; NaN
// when they do not.
double steady_ratio(const std::vector<double>& earlier, const std::vector<double>& later) {
    double earlier_squares = 0.0;
    double later_squares = 0.0;
    double product = 0.0;
    for (std::size_t index = 0; index < earlier.size(); ++index) {
        earlier_squares += earlier[index] * earlier[index];
        later_squares += later[index] * later[index];
        product += earlier[index] * later[index];
    }
    const double earlier_length = std::sqrt(earlier_squares);
    const double later_length = std::sqrt(later_squares);
    if (!(earlier_length > 0.0) || !(later_length > 0.0) ||
        !(product >= SMALLEST_COSINE * earlier_length * later_length)) {
        return std::nan("");
    }
    return later_length / earlier_length;
}

}  // namespace

void LinearConvergenceWatch::newton_step_taken(const std::vector<double>& relative_step) {
    older_.swap(newer_);
    newer_.assign(relative_step.begin(), relative_step.end());
}

void LinearConvergenceWatch::other_step_taken() {
    older_.clear();
    newer_.clear();
}

double LinearConvergenceWatch::extrapolation_factor(
    const std::vector<double>& relative_step) const {
    if (older_.size() != relative_step.size() || newer_.size() != relative_step.size()) {
        return 0.0;
    }
    const double before = steady_ratio(older_, newer_);
    const double now = steady_ratio(newer_, relative_step);
    if (!(now >= SMALLEST_RATIO && now <= LARGEST_RATIO) ||
        !(std::fabs(now - before) <= RATIO_AGREEMENT * now)) {
        return 0.0;
    }
    return 1.0 / (1.0 - now);
}
