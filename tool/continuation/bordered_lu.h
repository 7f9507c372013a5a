#pragma once

#include <vector>

#include "sparse_lu.h"

// LU factors of a curve system's bordered matrix
//
//     [ dF/dx  dF/dp ]
//     [   w^T        ]
//
// the Jacobian's n rows over the n + 1 coordinates with one dense row w
// appended, by the sparse LU on the whole matrix. Where dF/dx is singular
// (a turning point) the bordered matrix is not, and pivoting across the
// border keeps the solves accurate there, which eliminating the border
// through a factor of dF/dx alone would not.
class BorderedLu {
  public:
    // `jacobian`: the curve system's pattern (size n + 1, row n empty;
    // else std::invalid_argument).
    explicit BorderedLu(const CompressedColumns& jacobian);

    // Factors the matrix of `slot_values` (one per slot of the Jacobian's
    // pattern) bordered with `row` (n + 1 values). False when it is singular
    // or too badly conditioned to solve with.
    bool factor(const std::vector<double>& slot_values, const std::vector<double>& row);
    // Overwrites `rhs` (n + 1 values) with the solution of the last factor's
    // system.
    void solve(std::vector<double>& rhs) { lu_.solve(rhs); }
    DeterminantSign determinant() const { return lu_.determinant(); }

  private:
    static CompressedColumns bordered_pattern(const CompressedColumns& jacobian);

    CompressedColumns jacobian_;
    SparseLu lu_;
    std::vector<double> values_;  // per slot of the bordered pattern
};
