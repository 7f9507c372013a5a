#include "curve_corrector.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "convergence_scale.h"

namespace {

// Scaled residuals this small are round-off of the equations' terms, where
// the step test is moot (as in the solver).
constexpr double ROUND_OFF = 4 * std::numeric_limits<double>::epsilon();

// Adds the seconds `work` takes to `total`, and answers what it answers.
template <typename Work>
auto timed(double& total, Work work) {
    const auto begin = std::chrono::steady_clock::now();
    struct AddOnExit {
        double& total;
        std::chrono::steady_clock::time_point begin;
        ~AddOnExit() {
            total +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        }
    } add{total, begin};
    return work();
}

bool all_finite(const std::vector<double>& values) {
    bool finite = true;
    for (const double value : values) {
        finite &= is_finite_value(value);
    }
    return finite;
}

}  // namespace

CurveCorrector::CurveCorrector(CurveSystem& system, const CurveMetric& metric, double tolerance)
    : system_(system),
      pattern_(system.pattern()),
      metric_(metric),
      tolerance_(tolerance),
      lu_(pattern_) {}

double CurveCorrector::scaled_residual(const std::vector<double>& y) {
    scale_products_.assign(static_cast<std::size_t>(pattern_.size), 0.0);
    bool finite = all_finite(residuals_);
    for (std::size_t column = 0; column < y.size(); ++column) {
        finite &= offer_scale_products(pattern_, slot_values_, column, unknown_magnitude(y[column]),
                                       scale_products_);
    }
    if (!finite) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    LargestRatio largest;
    for (std::size_t row = 0; row < residuals_.size(); ++row) {
        largest.offer(residuals_[row], usable_scale(scale_products_[row]), static_cast<int>(row));
    }
    return largest.largest().value;
}

double CurveCorrector::relative_step(const std::vector<double>& y) const {
    double largest = 0.0;
    for (std::size_t index = 0; index < y.size(); ++index) {
        largest = std::max(largest, std::fabs(step_[index]) / unknown_magnitude(y[index]));
    }
    return largest;
}

Correction CurveCorrector::correct(std::vector<double>& y, const std::vector<double>& row,
                                   double value, int set_aside) {
    Correction correction;
    double last_length = 0.0;
    for (int step = 0;; ++step) {
        timed(evaluation_seconds_, [&] {
            system_.residuals(y, residuals_);
            system_.jacobian(y, slot_values_);
        });
        ++residual_evaluations_;
        ++jacobian_evaluations_;
        const double scaled = scaled_residual(y);
        if (std::isnan(scaled) ||
            !timed(lu_seconds_, [&] { return lu_.factor(slot_values_, row, set_aside); })) {
            return correction;
        }
        step_.resize(y.size());
        double on_row = 0.0;
        for (std::size_t index = 0; index < y.size(); ++index) {
            on_row += row[index] * y[index];
        }
        for (std::size_t index = 0; index < residuals_.size(); ++index) {
            step_[index] = -residuals_[index];
        }
        step_.back() = value - on_row;
        timed(lu_seconds_, [&] { lu_.solve(step_); });
        if (!all_finite(step_)) {
            return correction;
        }
        const double length = metric_.norm(step_);
        if (step == 0) {
            correction.first_step = length;
        }
        const bool converged =
            scaled <= tolerance_ &&
            (scaled <= ROUND_OFF || relative_step(y) <= STEP_TOLERANCE_FACTOR * tolerance_);
        for (std::size_t index = 0; index < y.size(); ++index) {
            y[index] += step_[index];
        }
        if (converged) {
            correction.converged = true;
            correction.steps = step;
            return correction;
        }
        if (step + 1 >= MOST_CORRECTOR_STEPS ||
            (step > 0 && length > LEAST_CONTRACTION * last_length)) {
            return correction;
        }
        last_length = length;
    }
}

bool CurveCorrector::linearize(const std::vector<double>& y, const std::vector<double>& row,
                               int set_aside) {
    timed(evaluation_seconds_, [&] { system_.jacobian(y, slot_values_); });
    ++jacobian_evaluations_;
    return all_finite(slot_values_) &&
           timed(lu_seconds_, [&] { return lu_.factor(slot_values_, row, set_aside); });
}

void CurveCorrector::direction(std::vector<double>& v) {
    v.assign(static_cast<std::size_t>(pattern_.size), 0.0);
    v.back() = 1.0;
    timed(lu_seconds_, [&] { lu_.solve(v); });
}
