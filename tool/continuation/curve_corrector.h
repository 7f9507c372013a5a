#pragma once

#include <vector>

#include "bordered_lu.h"
#include "curve_metric.h"
#include "curve_system.h"

// Newton corrections stop after this many steps, or when a step is not at
// most this share of the one before (the prediction was too far from the
// curve for Newton's method to close in fast).
constexpr int MOST_CORRECTOR_STEPS = 8;
constexpr double LEAST_CONTRACTION = 0.5;

// What one correction did.
struct Correction {
    bool converged = false;
    int steps = 0;            // Newton steps taken before the point passed the test
    double first_step = 0.0;  // length of the first step: how far the guess was off the curve
};

// Newton's method on a curve system with one linear equation added,
// F(y) = 0 and row^T y = value, on the bordered matrix. A point is converged
// by the solver's test: every residual at most `tolerance` times its
// equation's scale (max_j |dF_i/dy_j| * max(|y_j|, 1), the parameter's
// column included), and the Newton step from the point changing no
// coordinate by more than STEP_TOLERANCE_FACTOR * tolerance relative to its
// magnitude; that step is then taken.
class CurveCorrector {
  public:
    CurveCorrector(CurveSystem& system, const CurveMetric& metric, double tolerance);

    // From `y` (n + 1 values), which becomes the point reached; the
    // bordered matrix eliminates through the Jacobian without column
    // `set_aside` (see BorderedLu). On success the factor at the point stays
    // for direction() and determinant().
    Correction correct(std::vector<double>& y, const std::vector<double>& row, double value,
                       int set_aside);

    // Factors the bordered matrix at `y` without correcting it, for a point
    // known to be on the curve; false when it is singular or a derivative is
    // not finite. direction() and determinant() then answer for `y`.
    bool linearize(const std::vector<double>& y, const std::vector<double>& row, int set_aside);

    // At the last converged point: v with dF/dy v = 0 and row^T v = 1, the
    // curve's direction there, scaled so that its product with the row is 1.
    void direction(std::vector<double>& v);
    // The bordered matrix's determinant at the last converged point.
    DeterminantSign determinant() const { return lu_.determinant(); }

    // Evaluations of F and of dF/dy since construction, and the wall-clock
    // seconds spent in them and in the bordered LU (factors and solves).
    int residual_evaluations() const { return residual_evaluations_; }
    int jacobian_evaluations() const { return jacobian_evaluations_; }
    double evaluation_seconds() const { return evaluation_seconds_; }
    double lu_seconds() const { return lu_seconds_; }

  private:
    // The largest scaled residual at `y`, from residuals_ and slot_values_;
    // NaN when a value is not finite.
    double scaled_residual(const std::vector<double>& y);
    // The largest change of the Newton step step_ relative to the magnitudes.
    double relative_step(const std::vector<double>& y) const;

    CurveSystem& system_;
    const CompressedColumns& pattern_;
    const CurveMetric& metric_;
    double tolerance_;
    BorderedLu lu_;
    std::vector<double> residuals_;
    std::vector<double> slot_values_;
    std::vector<double> scale_products_;
    std::vector<double> step_;
    int residual_evaluations_ = 0;
    int jacobian_evaluations_ = 0;
    double evaluation_seconds_ = 0.0;
    double lu_seconds_ = 0.0;
};
