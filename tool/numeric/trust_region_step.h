#pragma once

#include <optional>
#include <vector>

#include "solve_stop.h"
#include "sparse_lu.h"

// Powell's dogleg at one point, for the merit function ||W F||^2 with the
// unknowns measured by D: the Newton point (or the step standing in for it)
// when it lies within the region, else the steepest-descent step cut at the
// region's edge, else the point where the path from the Cauchy point (the
// minimum along steepest descent) to the Newton point leaves the region.
//
// One object serves every iteration of a solve and keeps its work vectors;
// the steepest-descent direction is found only when a step outside the
// Newton point is asked for, as an iteration that takes the Newton step
// never needs it.
class TrustRegionStep {
  public:
    // The vectors are the solver's, read afresh at each iteration; they must
    // outlive the object.
    TrustRegionStep(const CompressedColumns& pattern, const std::vector<double>& slot_values,
                    const std::vector<double>& row_weights,
                    const std::vector<double>& column_scales,
                    const std::vector<double>& weighted_residuals,
                    const std::vector<double>& newton_step);

    // A new point: the vectors hold its values now. `newton_length` is the
    // Newton point's scaled length ||D p||, none when no Newton point could
    // be found (steepest descent is then all).
    void start_iteration(std::optional<double> newton_length, StepKind newton_kind);
    // The step within `radius` (length measured as ||D p||), and its kind;
    // valid until the next call.
    const std::vector<double>& step(double radius, StepKind& kind);
    // The merit the linear model predicts after a step p whose product J p
    // is `product` (one value per row): ||W (F + J p)||^2. The caller forms
    // the product in its own pass over the step. The pass over the rows that
    // sums the merit also calls `also_per_row` with each row, for the
    // caller's own work by row.
    template <typename PerRow>
    double predicted_merit(const std::vector<double>& product, PerRow also_per_row) const {
        double sum = 0.0;
        for (std::size_t row = 0; row < product.size(); ++row) {
            const double change = weighted_residuals_[row] + row_weights_[row] * product[row];
            sum += change * change;
            also_per_row(row);
        }
        return sum;
    }

  private:
    // ||D p||
    double scaled_length(const std::vector<double>& step) const;
    void find_descent();
    // `step_` = `factor` times `v`.
    const std::vector<double>& scaled_step(const std::vector<double>& v, double factor);

    const CompressedColumns& pattern_;
    const std::vector<double>& slot_values_;
    const std::vector<double>& row_weights_;
    const std::vector<double>& column_scales_;
    const std::vector<double>& weighted_residuals_;
    const std::vector<double>& newton_step_;
    bool has_newton_step_ = false;
    StepKind newton_kind_ = StepKind::newton;
    double newton_length_ = 0.0;
    // -D^-2 J^T W^2 F, the descent direction in the unknowns, with its
    // scaled length, and the Cauchy step along it; found at this point when
    // `descent_found_`.
    bool descent_found_ = false;
    std::vector<double> descent_;
    double descent_length_ = 0.0;
    std::vector<double> cauchy_;
    double cauchy_length_ = 0.0;
    // Work vectors: by row, and the step handed out.
    std::vector<double> by_row_;
    std::vector<double> gradient_;
    std::vector<double> step_;
};
