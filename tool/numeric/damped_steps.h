#pragma once

#include <vector>

#include "boxed_unknowns.h"
#include "levenberg_marquardt.h"

// Levenberg-Marquardt on the scaled sum of squares ||W F||^2, as MINPACK's
// lmder minimises a sum of squares, for where the trust region's dogleg
// stalls or creeps: each step minimises ||W (F + J p)||^2 + lambda ||D p||^2,
// and lambda follows how well the last step did (Nielsen's rule: it shrinks
// by up to 3 after a good step, and doubles, then quadruples, after each
// refused one). The unknowns that sit on a bound while the merit's gradient
// pushes them outward are held where they are, and so are those whose bounds
// are equal, so the steps search the rest.
class DampedSteps {
  public:
    explicit DampedSteps(const CompressedColumns& pattern);

    // A new point: the Jacobian (`slot_values`), W, D, the weighted
    // residuals W F and the unknowns. Finds the gradient J^T W^2 F, the
    // unknowns held, and whether the point is stationary.
    void start_point(const std::vector<double>& slot_values, const std::vector<double>& row_weights,
                     const std::vector<double>& column_scales,
                     const std::vector<double>& weighted_residuals, const std::vector<double>& x,
                     const BoxedUnknowns& box);
    // Whether no free unknown's column of W J has a cosine of more than
    // STATIONARY_COSINE with W F: the merit is at a minimum over the free
    // unknowns (lmder's gradient test).
    bool stationary() const { return stationary_; }
    const std::vector<bool>& held() const { return held_; }

    // The step for the current damping; false when it cannot be found.
    bool propose(const std::vector<double>& slot_values, const std::vector<double>& row_weights,
                 const std::vector<double>& column_scales, const std::vector<double>& residuals,
                 std::vector<double>& step);
    // The step proposed was taken, its actual fall of the merit `ratio`
    // times the predicted one; or refused.
    void taken(double ratio);
    void refused();
    // The damping has grown so large that no step will be taken.
    bool exhausted() const;

  private:
    LevenbergMarquardt augmented_;
    const CompressedColumns& pattern_;
    std::vector<double> gradient_;
    std::vector<double> by_row_;
    std::vector<bool> held_;
    bool stationary_ = false;
    double damping_;
    double growth_ = 2.0;
};
