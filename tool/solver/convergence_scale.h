#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "nonlinear_solver.h"

// The measures the convergence test and the merit function share.

// An unknown's magnitude, max(|x_j|, 1): what its change is measured against.
inline double unknown_magnitude(double value) {
    return std::max(std::fabs(value), 1.0);
}

// Each equation's scale at the point: the largest |dF_i/dx_j| * magnitude_j
// over its unknowns, the size of the largest change its terms can make for a
// relative change of the unknowns. The raw largest products go into `scales`:
// each must pass through usable_scale before use, which the caller does in
// its own pass over the rows. Answers whether every Jacobian value is
// finite, read in the same pass.
bool equation_scale_products(const CompressedColumns& pattern,
                             const std::vector<double>& slot_values,
                             const std::vector<double>& magnitudes, std::vector<double>& scales);

// 1 in place of a scale that is zero (an all-zero row) or not finite.
inline double usable_scale(double scale) {
    return scale > 0.0 && std::isfinite(scale) ? scale : 1.0;
}

// The largest |numerator| / denominator of those offered, in index order,
// and the index of the first that attains it; a NaN counts as the largest.
// Offered one at a time, so that a pass over the values can gather other
// measures with it.
class LargestRatio {
  public:
    void offer(double numerator, double denominator, int index) {
        if (largest_.row >= 0 && std::isnan(largest_.value)) {
            return;
        }
        const double ratio = std::fabs(numerator) / denominator;
        if (largest_.row < 0 || std::isnan(ratio) || ratio > largest_.value) {
            largest_ = {ratio, index};
        }
    }
    const ResidualMeasure& largest() const { return largest_; }

  private:
    ResidualMeasure largest_;
};

// The largest |residual|, and the largest |residual| / scale; NaN counts as
// the largest.
ResidualMeasure largest_absolute(const std::vector<double>& residuals);
ResidualMeasure largest_scaled(const std::vector<double>& residuals,
                               const std::vector<double>& scales);
