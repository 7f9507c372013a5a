#pragma once

#include <vector>

#include "solve_stop.h"
#include "sparse_lu.h"

// Powell's dogleg at one point, for the merit function ||W F||^2 with the
// unknowns measured by D: the Newton point (or the step standing in for it)
// when it lies within the region, else the steepest-descent step cut at the
// region's edge, else the point where the path from the Cauchy point (the
// minimum along steepest descent) to the Newton point leaves the region.
class TrustRegionStep {
  public:
    // The references must outlive the object. `newton_point` may be null
    // when no Newton point could be found; steepest descent is then all.
    TrustRegionStep(const CompressedColumns& pattern, const std::vector<double>& slot_values,
                    const std::vector<double>& row_weights,
                    const std::vector<double>& column_scales,
                    const std::vector<double>& weighted_residuals,
                    const std::vector<double>* newton_point, StepKind newton_kind);

    // The step within `radius` (length measured as ||D p||), and its kind.
    std::vector<double> step(double radius, StepKind& kind) const;
    // ||D p||
    double scaled_length(const std::vector<double>& step) const;
    // The merit the linear model predicts after the step: ||W (F + J p)||^2.
    double predicted_merit(const std::vector<double>& step) const;

  private:
    const CompressedColumns& pattern_;
    const std::vector<double>& slot_values_;
    const std::vector<double>& row_weights_;
    const std::vector<double>& column_scales_;
    const std::vector<double>& weighted_residuals_;
    const std::vector<double>* newton_point_;
    StepKind newton_kind_;
    double newton_length_ = 0.0;
    // -D^-2 J^T W^2 F, the descent direction in the unknowns, with its
    // scaled length, and the Cauchy step along it.
    std::vector<double> descent_;
    double descent_length_ = 0.0;
    std::vector<double> cauchy_;
    double cauchy_length_ = 0.0;
};
