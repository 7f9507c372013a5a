#pragma once

#include <memory>
#include <vector>

#include "sparse_lu.h"

// Levenberg-Marquardt steps for a square Jacobian, also one the LU cannot
// invert: the p that minimises ||W (F + J p)||^2 + lambda ||D p||^2, from the
// augmented system
//     [ lambda D^2   (W J)^T ] [p]   [  0   ]
//     [ W J          -I      ] [r] = [ -W F ]
// (r = W (F + J p)), which KLU factors with the Jacobian's sparsity; the
// normal equations' product J^T J would fill in. The augmented pattern is
// analysed once. For lambda > 0 the augmented matrix is regular however
// singular J is, so its factor also serves inverse iteration for J's
// near-null directions.
class LevenbergMarquardt {
  public:
    explicit LevenbergMarquardt(const CompressedColumns& jacobian_pattern);

    // Factors the augmented matrix: `row_weights` holds W's diagonal,
    // `column_scales` D's; the columns whose entry of `held` (empty, or one
    // per column) is true take no part, so a step leaves them where they are.
    // False when the augmented matrix is singular.
    bool factor(const std::vector<double>& slot_values, const std::vector<double>& row_weights,
                const std::vector<double>& column_scales, double lambda,
                const std::vector<bool>& held = {});
    // Overwrites `rhs`, the top (one per column) then the bottom (one per
    // row) of the right-hand side, with the solution [p; r] by the last
    // factor.
    void solve(std::vector<double>& rhs);
    // The step p for the residuals F by the last factor; false when it is
    // not finite.
    bool step(const std::vector<double>& row_weights, const std::vector<double>& residuals,
              std::vector<double>& p);
    // Factor and step at once; false when either fails.
    bool step(const std::vector<double>& slot_values, const std::vector<double>& row_weights,
              const std::vector<double>& column_scales, double lambda,
              const std::vector<double>& residuals, std::vector<double>& p);

  private:
    int size_;
    // Per Jacobian slot: its row and column, and its places in the lower
    // left block and in the upper right (transposed) block; per column and
    // row: the diagonal places.
    std::vector<int> jacobian_rows_;
    std::vector<int> jacobian_columns_;
    std::vector<int> lower_slot_;
    std::vector<int> upper_slot_;
    std::vector<int> top_diagonal_slot_;
    std::vector<int> bottom_diagonal_slot_;
    int augmented_slots_ = 0;
    std::unique_ptr<SparseLu> lu_;
    std::vector<double> values_;
    std::vector<double> rhs_;
};
