#include "trust_region_step.h"

#include <algorithm>
#include <cmath>

#include "sparse_products.h"

namespace {

double square(double value) {
    return value * value;
}

void scale_into(const std::vector<double>& v, double factor, std::vector<double>& result) {
    result.resize(v.size());
    std::transform(v.begin(), v.end(), result.begin(),
                   [factor](double value) { return value * factor; });
}

}  // namespace

TrustRegionStep::TrustRegionStep(const CompressedColumns& pattern,
                                 const std::vector<double>& slot_values,
                                 const std::vector<double>& row_weights,
                                 const std::vector<double>& column_scales,
                                 const std::vector<double>& weighted_residuals,
                                 const std::vector<double>& newton_step)
    : pattern_(pattern),
      slot_values_(slot_values),
      row_weights_(row_weights),
      column_scales_(column_scales),
      weighted_residuals_(weighted_residuals),
      newton_step_(newton_step) {}

void TrustRegionStep::start_iteration(std::optional<double> newton_length, StepKind newton_kind) {
    has_newton_step_ = newton_length.has_value();
    newton_kind_ = newton_kind;
    newton_length_ = newton_length.value_or(0.0);
    descent_found_ = false;
}

void TrustRegionStep::find_descent() {
    descent_found_ = true;
    by_row_.resize(weighted_residuals_.size());
    for (std::size_t row = 0; row < by_row_.size(); ++row) {
        by_row_[row] = row_weights_[row] * weighted_residuals_[row];
    }
    multiply_transposed(pattern_, slot_values_, by_row_, gradient_);
    descent_.resize(gradient_.size());
    for (std::size_t column = 0; column < gradient_.size(); ++column) {
        const double scale = column_scales_[column];
        descent_[column] = -gradient_[column] / (scale * scale);
    }
    descent_length_ = scaled_length(descent_);
    multiply(pattern_, slot_values_, descent_, by_row_);
    double change_squares = 0.0;
    for (std::size_t row = 0; row < by_row_.size(); ++row) {
        change_squares += square(row_weights_[row] * by_row_[row]);
    }
    // Along the descent direction the merit is smallest at t = |D^-1 g|^2 /
    // |W J D^-2 g|^2, and |D^-1 g| is the direction's scaled length.
    cauchy_length_ = 0.0;
    if (descent_length_ > 0.0 && change_squares > 0.0) {
        const double t = descent_length_ * descent_length_ / change_squares;
        scale_into(descent_, t, cauchy_);
        cauchy_length_ = t * descent_length_;
    }
}

const std::vector<double>& TrustRegionStep::scaled_step(const std::vector<double>& v,
                                                        double factor) {
    scale_into(v, factor, step_);
    return step_;
}

const std::vector<double>& TrustRegionStep::step(double radius, StepKind& kind) {
    if (has_newton_step_ && newton_length_ <= radius) {
        kind = newton_kind_;
        return newton_step_;
    }
    if (!descent_found_) {
        find_descent();
    }
    if (descent_length_ == 0.0 || cauchy_length_ == 0.0) {
        // No descent to follow: the Newton point cut to the region, if any.
        if (!has_newton_step_ || newton_length_ == 0.0) {
            kind = StepKind::none;
            step_.assign(column_scales_.size(), 0.0);
            return step_;
        }
        kind = newton_kind_;
        return scaled_step(newton_step_, radius / newton_length_);
    }
    if (!has_newton_step_ || cauchy_length_ >= radius) {
        kind = StepKind::gradient;
        return scaled_step(descent_, std::min(radius, cauchy_length_) / descent_length_);
    }
    // Solve |a + tau (b - a)| = radius for tau in [0, 1], a and b the scaled
    // Cauchy and Newton points, d = b - a.
    double a_d = 0.0;
    double d_d = 0.0;
    double a_a = 0.0;
    for (std::size_t column = 0; column < cauchy_.size(); ++column) {
        const double a = column_scales_[column] * cauchy_[column];
        const double difference = column_scales_[column] * newton_step_[column] - a;
        a_d += a * difference;
        d_d += difference * difference;
        a_a += a * a;
    }
    const double room = radius * radius - a_a;
    const double tau =
        d_d > 0.0 ? std::clamp((-a_d + std::sqrt(a_d * a_d + d_d * room)) / d_d, 0.0, 1.0) : 0.0;
    step_.resize(cauchy_.size());
    for (std::size_t column = 0; column < step_.size(); ++column) {
        step_[column] = cauchy_[column] + tau * (newton_step_[column] - cauchy_[column]);
    }
    kind = StepKind::dogleg;
    return step_;
}

double TrustRegionStep::scaled_length(const std::vector<double>& step) const {
    double sum = 0.0;
    for (std::size_t column = 0; column < step.size(); ++column) {
        sum += square(column_scales_[column] * step[column]);
    }
    return std::sqrt(sum);
}
