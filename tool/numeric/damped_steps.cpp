#include "damped_steps.h"

#include <algorithm>
#include <cmath>

#include "sparse_products.h"

namespace {

// The first damping, against the scaled Jacobian's columns of length about
// 1, and the largest, beyond which a step would move nothing.
constexpr double FIRST_DAMPING = 1e-3;
constexpr double LARGEST_DAMPING = 1e16;
constexpr double SMALLEST_DAMPING = 1e-12;
// lmder's gradient test: the cosine below which W F counts as orthogonal to
// a column of W J.
constexpr double STATIONARY_COSINE = 1e-7;

}  // namespace

DampedSteps::DampedSteps(const CompressedColumns& pattern)
    : augmented_(pattern), pattern_(pattern), damping_(FIRST_DAMPING) {}

void DampedSteps::start_point(const std::vector<double>& slot_values,
                              const std::vector<double>& row_weights,
                              const std::vector<double>& column_scales,
                              const std::vector<double>& weighted_residuals,
                              const std::vector<double>& x, const BoxedUnknowns& box) {
    by_row_.resize(weighted_residuals.size());
    double squares = 0.0;
    for (std::size_t row = 0; row < by_row_.size(); ++row) {
        by_row_[row] = row_weights[row] * weighted_residuals[row];
        squares += weighted_residuals[row] * weighted_residuals[row];
    }
    const double length = std::sqrt(squares);
    multiply_transposed(pattern_, slot_values, by_row_, gradient_);
    held_.assign(x.size(), false);
    double largest_cosine = 0.0;
    for (std::size_t column = 0; column < x.size(); ++column) {
        const double g = gradient_[column];
        // Descent moves against the gradient: out of the box when it points
        // inward at the bound the unknown sits on.
        const bool pushed_out = (x[column] == box.lower(column) && g > 0.0) ||
                                (x[column] == box.upper(column) && g < 0.0) ||
                                box.lower(column) == box.upper(column);
        held_[column] = pushed_out;
        if (!pushed_out) {
            largest_cosine =
                std::max(largest_cosine, std::fabs(g) / (column_scales[column] * length));
        }
    }
    stationary_ = length > 0.0 && !(largest_cosine > STATIONARY_COSINE);
}

bool DampedSteps::propose(const std::vector<double>& slot_values,
                          const std::vector<double>& row_weights,
                          const std::vector<double>& column_scales,
                          const std::vector<double>& residuals, std::vector<double>& step) {
    return augmented_.factor(slot_values, row_weights, column_scales, damping_, held_) &&
           augmented_.step(row_weights, residuals, step);
}

void DampedSteps::taken(double ratio) {
    const double shrink = 1.0 - std::pow(2.0 * ratio - 1.0, 3);
    damping_ = std::max(damping_ * std::max(1.0 / 3.0, shrink), SMALLEST_DAMPING);
    growth_ = 2.0;
}

void DampedSteps::refused() {
    damping_ *= growth_;
    growth_ *= 2.0;
}

bool DampedSteps::exhausted() const {
    return damping_ > LARGEST_DAMPING;
}
