#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "nonlinear_solver.h"

// The measures the convergence test and the merit function share.

// Whether `value` is finite, as a comparison rather than a classification:
// false for infinities and NaN alike, and a pass that tests every value with
// it has no branch, so the compiler can vectorise it.
inline bool is_finite_value(double value) {
    return std::fabs(value) <= std::numeric_limits<double>::max();
}

// An unknown's magnitude, max(|x_j|, 1): what its change is measured against.
inline double unknown_magnitude(double value) {
    return std::max(std::fabs(value), 1.0);
}

// Each equation's scale at the point: the largest |dF_i/dx_j| * magnitude_j
// over its unknowns, the size of the largest change its terms can make for a
// relative change of the unknowns. Offered a column at a time, in column
// order, so that a pass over the unknowns can take it: each of column
// `column`'s rows gets the larger of `products[row]` and its product, and the
// answer says whether the column's values are all finite. The raw largest
// products must pass through usable_scale before use.
inline bool offer_scale_products(const CompressedColumns& pattern,
                                 const std::vector<double>& slot_values, std::size_t column,
                                 double magnitude, std::vector<double>& products) {
    bool finite = true;
    for (int slot = pattern.column_starts[column]; slot < pattern.column_starts[column + 1];
         ++slot) {
        const auto at = static_cast<std::size_t>(slot);
        const double size = std::fabs(slot_values[at]);
        finite &= is_finite_value(size);
        double& product = products[static_cast<std::size_t>(pattern.row_indices[at])];
        product = std::max(product, size * magnitude);
    }
    return finite;
}

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
