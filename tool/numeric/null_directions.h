#pragma once

#include <cstddef>
#include <vector>

#include "sparse_lu.h"

// The combinations that a square matrix J comes closest to annihilating,
// found on its equilibrated form A = diag(R) J diag(C) (see singularity.h,
// whose `row_weights` it takes)
// by a few steps of inverse iteration with the factor of the regularised
// augmented system [lambda I, A^T; A, -I], which is regular however singular
// J is: the right singular vector v of A's smallest singular value and the
// left one u.
struct NullDirections {
    // C v, a direction in the unknowns along which J changes least, scaled to
    // a largest magnitude of 1; empty when none could be found.
    std::vector<double> unknowns;
    // |u|, the weight of each row in the combination of rows closest to 0,
    // the largest 1.
    std::vector<double> rows;
    // u itself, signed, of unit length, in terms of the equilibrated rows:
    // the combination sum_i u_i R_i F_i of the residuals F that no step can
    // change to first order.
    std::vector<double> row_combination;
    // The row scales R.
    std::vector<double> row_scales;
};

// A start for inverse iteration that no structured null vector (such as
// (1, -1) for two equal rows) is orthogonal to: entries in [1, 2) that step
// by the golden ratio.
std::vector<double> irregular_start(std::size_t size);

NullDirections null_directions(const CompressedColumns& pattern,
                               const std::vector<double>& slot_values,
                               const std::vector<double>& row_weights = {});

// The unknowns that move along `direction` from x by at least a tenth of the
// largest change relative to their magnitudes, in order.
std::vector<int> moving_unknowns(const std::vector<double>& direction,
                                 const std::vector<double>& x);
// The equations that weigh at least a thousandth of the largest in a
// combination's `rows` (smaller weights are the iteration's noise), in order.
std::vector<int> dependent_equations(const std::vector<double>& rows);
