#include "trust_region_step.h"

#include <algorithm>
#include <cmath>

#include "sparse_products.h"

namespace {

double dot(const std::vector<double>& left, const std::vector<double>& right) {
    double sum = 0.0;
    for (std::size_t index = 0; index < left.size(); ++index) {
        sum += left[index] * right[index];
    }
    return sum;
}

double square(double value) {
    return value * value;
}

std::vector<double> scaled(const std::vector<double>& v, double factor) {
    std::vector<double> result(v.size());
    std::transform(v.begin(), v.end(), result.begin(),
                   [factor](double value) { return value * factor; });
    return result;
}

}  // namespace

TrustRegionStep::TrustRegionStep(const CompressedColumns& pattern,
                                 const std::vector<double>& slot_values,
                                 const std::vector<double>& row_weights,
                                 const std::vector<double>& column_scales,
                                 const std::vector<double>& weighted_residuals,
                                 const std::vector<double>* newton_point, StepKind newton_kind)
    : pattern_(pattern),
      slot_values_(slot_values),
      row_weights_(row_weights),
      column_scales_(column_scales),
      weighted_residuals_(weighted_residuals),
      newton_point_(newton_point),
      newton_kind_(newton_kind) {
    if (newton_point_ != nullptr) {
        newton_length_ = scaled_length(*newton_point_);
    }
    std::vector<double> twice_weighted(weighted_residuals_.size());
    for (std::size_t row = 0; row < twice_weighted.size(); ++row) {
        twice_weighted[row] = row_weights_[row] * weighted_residuals_[row];
    }
    std::vector<double> gradient;
    multiply_transposed(pattern_, slot_values_, twice_weighted, gradient);
    descent_.resize(gradient.size());
    for (std::size_t column = 0; column < gradient.size(); ++column) {
        const double scale = column_scales_[column];
        descent_[column] = -gradient[column] / (scale * scale);
    }
    descent_length_ = scaled_length(descent_);
    std::vector<double> change;
    multiply(pattern_, slot_values_, descent_, change);
    double change_squares = 0.0;
    for (std::size_t row = 0; row < change.size(); ++row) {
        change_squares += square(row_weights_[row] * change[row]);
    }
    // Along the descent direction the merit is smallest at t = |D^-1 g|^2 /
    // |W J D^-2 g|^2, and |D^-1 g| is the direction's scaled length.
    if (descent_length_ > 0.0 && change_squares > 0.0) {
        const double t = descent_length_ * descent_length_ / change_squares;
        cauchy_ = scaled(descent_, t);
        cauchy_length_ = t * descent_length_;
    }
}

std::vector<double> TrustRegionStep::step(double radius, StepKind& kind) const {
    if (newton_point_ != nullptr && newton_length_ <= radius) {
        kind = newton_kind_;
        return *newton_point_;
    }
    if (descent_length_ == 0.0 || cauchy_length_ == 0.0) {
        // No descent to follow: the Newton point cut to the region, if any.
        if (newton_point_ == nullptr || newton_length_ == 0.0) {
            kind = StepKind::none;
            return std::vector<double>(column_scales_.size(), 0.0);
        }
        kind = newton_kind_;
        return scaled(*newton_point_, radius / newton_length_);
    }
    if (newton_point_ == nullptr || cauchy_length_ >= radius) {
        kind = StepKind::gradient;
        return scaled(descent_, std::min(radius, cauchy_length_) / descent_length_);
    }
    // Solve |a + tau (b - a)| = radius for tau in [0, 1], a and b the scaled
    // Cauchy and Newton points.
    std::vector<double> a(cauchy_.size());
    std::vector<double> difference(cauchy_.size());
    for (std::size_t column = 0; column < a.size(); ++column) {
        a[column] = column_scales_[column] * cauchy_[column];
        difference[column] = column_scales_[column] * (*newton_point_)[column] - a[column];
    }
    const double a_d = dot(a, difference);
    const double d_d = dot(difference, difference);
    const double room = radius * radius - dot(a, a);
    const double tau =
        d_d > 0.0 ? std::clamp((-a_d + std::sqrt(a_d * a_d + d_d * room)) / d_d, 0.0, 1.0) : 0.0;
    std::vector<double> result(cauchy_.size());
    for (std::size_t column = 0; column < result.size(); ++column) {
        result[column] = cauchy_[column] + tau * ((*newton_point_)[column] - cauchy_[column]);
    }
    kind = StepKind::dogleg;
    return result;
}

double TrustRegionStep::scaled_length(const std::vector<double>& step) const {
    double sum = 0.0;
    for (std::size_t column = 0; column < step.size(); ++column) {
        sum += square(column_scales_[column] * step[column]);
    }
    return std::sqrt(sum);
}

double TrustRegionStep::predicted_merit(const std::vector<double>& step) const {
    std::vector<double> change;
    multiply(pattern_, slot_values_, step, change);
    double sum = 0.0;
    for (std::size_t row = 0; row < change.size(); ++row) {
        sum += square(weighted_residuals_[row] + row_weights_[row] * change[row]);
    }
    return sum;
}
