#pragma once

#include <memory>
#include <vector>

#include "sparse_lu.h"

// LU factors of a curve system's bordered matrix
//
//     B = [ dF/dy ]    (dF/dy: the Jacobian's n rows over the n + 1
//         [  w^T  ]     coordinates, the parameter's column last)
//
// by block elimination through the sparse LU of M, dF/dy with one column c
// set aside: B z = r gives z_c = (r_n - w'^T M^-1 r') / s and
// z' = M^-1 r' - M^-1 h_c z_c, with h_c column c of dF/dy, w' and z' the
// other coordinates and s = w_c - w'^T M^-1 h_c. With c the coordinate the
// curve's tangent t moves most in, M is as well conditioned as B: where
// dF/dx turns singular (a turning point, c then an unknown) M does not, and s
// stays away from 0 (for w = W^2 t, s = |t|^2 / t_c), so the solves keep
// B's accuracy there, which eliminating through dF/dx loses. The border adds
// no fill, where a dense row appended to the pattern would: the sparse LU's
// pivoting takes it early, and fills in everything after it, on discretised
// problems whose inverse Jacobians are large.
class BorderedLu {
  public:
    // `jacobian`: the curve system's pattern (size n + 1, row n empty;
    // else std::invalid_argument).
    explicit BorderedLu(const CompressedColumns& jacobian);
    ~BorderedLu();
    BorderedLu(const BorderedLu&) = delete;
    BorderedLu& operator=(const BorderedLu&) = delete;

    // Factors B for the Jacobian's `slot_values` (one per slot of its
    // pattern) and the border `row` (n + 1 values), eliminating through the
    // Jacobian without column `set_aside`. False when M is singular or too
    // badly conditioned to solve with, or s is 0.
    bool factor(const std::vector<double>& slot_values, const std::vector<double>& row,
                int set_aside);
    // Overwrites `rhs` (n + 1 values) with the solution of the last factor's
    // system.
    void solve(std::vector<double>& rhs);
    DeterminantSign determinant() const;

  private:
    // M's pattern for column `set_aside`.
    void prepare(int set_aside);

    CompressedColumns jacobian_;
    int size_;  // n + 1
    int set_aside_ = -1;
    std::unique_ptr<SparseLu> lu_;  // of M for set_aside_
    std::vector<double> m_values_;
    // Of the last factor: the border, M^-1 h_c, s.
    std::vector<double> row_;
    std::vector<double> aside_solved_;
    double schur_ = 0.0;
    std::vector<double> work_;
};
