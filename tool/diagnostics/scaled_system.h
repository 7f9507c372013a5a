#pragma once

#include <vector>

#include "jacobian_values.h"
#include "singularity.h"
#include "sparse_lu.h"

// A square part of the Jacobian, position k holding row rows[k] and its
// matched column columns[k] (so every diagonal entry is nonzero), with its
// rows and then its columns scaled to a largest magnitude of 1: scaling
// alone, which the badly-scaled findings report, never makes it look
// ill-conditioned. Factored by the sparse LU, in time near-linear in its
// nonzeros.
class ScaledSystem {
  public:
    ScaledSystem(const JacobianValues& jacobian, const std::vector<int>& rows,
                 const std::vector<int>& columns);

    // KLU's estimate of the 1-norm condition number, the singularity
    // policy's estimate at one point (numerically_singular judges it);
    // infinity when the matrix is singular to working precision.
    double condition();
    // Weights of the rows (of_rows) or columns whose combination comes
    // closest to 0, each in [0, 1] with the largest 1: the left or right
    // singular vector of the smallest singular value, by inverse iteration.
    // A singular matrix is first moved by a tiny multiple of its diagonal,
    // which leaves that vector nearly unchanged. Empty when even that does
    // not factor.
    std::vector<double> null_weights(bool of_rows);
    // Solves with the matrix itself, in the Jacobian's own units: overwrites
    // `rhs` (one value per position) with x, A x = rhs, or with the transpose
    // A^T x = rhs. False, leaving `rhs` as it was, when the matrix does not
    // factor.
    bool solve(std::vector<double>& rhs, bool transposed);

  private:
    struct Entries {
        CompressedColumns pattern;
        std::vector<double> values;
        std::vector<int> diagonal_slots;
        // What each row and then each column was divided by, per position.
        std::vector<double> row_divisors;
        std::vector<double> column_divisors;
    };
    static Entries scaled(const JacobianValues& jacobian, const std::vector<int>& rows,
                          const std::vector<int>& columns);
    explicit ScaledSystem(Entries entries);
    // Factors the matrix moved by a tiny multiple of its diagonal; the
    // factor is then not of the matrix itself.
    bool factor_shifted();

    bool factor_itself();

    std::vector<double> values_;
    std::vector<int> diagonal_slots_;
    std::vector<double> row_divisors_;
    std::vector<double> column_divisors_;
    SparseLu lu_;
    bool factored_ = false;  // the factor held is of the matrix itself
};
