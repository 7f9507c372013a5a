#pragma once

#include <memory>
#include <vector>

// A square sparse matrix's pattern in compressed columns: the rows of column
// j are row_indices[column_starts[j] .. column_starts[j + 1]), each row once
// per column; values come in the same order ("slots").
struct CompressedColumns {
    int size = 0;
    std::vector<int> column_starts{0};
    std::vector<int> row_indices;

    int slot_count() const { return static_cast<int>(row_indices.size()); }
    // The column of slot `slot`.
    int column_of(int slot) const;
};

// A determinant as its sign and the natural logarithm of its magnitude, since
// the product of a large matrix's pivots overflows a double.
struct DeterminantSign {
    int sign = 0;  // -1, 0 or 1
    double log_magnitude = 0.0;
};

// LU factors of matrices that share one pattern, by SuiteSparse KLU: the
// pattern is analysed once; each new set of values is refactored with the
// previous pivot order, and factored afresh when that order has gone bad.
class SparseLu {
  public:
    explicit SparseLu(CompressedColumns pattern);
    ~SparseLu();
    SparseLu(const SparseLu&) = delete;
    SparseLu& operator=(const SparseLu&) = delete;

    // Factors the matrix holding `values` (one per slot; another count
    // throws std::logic_error). False when it is
    // singular or too badly conditioned to solve with; singular_column() then
    // names a column without a usable pivot, or -1 when KLU named none.
    bool factor(const std::vector<double>& values);
    int singular_column() const { return singular_column_; }
    // Overwrites `rhs` with the solution x of A x = rhs; needs a factor and
    // one value per row (else std::logic_error); std::runtime_error when KLU
    // fails.
    void solve(std::vector<double>& rhs);
    // The same with the transpose: x with A^T x = rhs.
    void solve_transposed(std::vector<double>& rhs);
    // KLU's estimate of the 1-norm condition number of the matrix holding
    // `values`, which must be the values of the last successful factor
    // (else std::logic_error); std::runtime_error when KLU fails.
    double condition_estimate(const std::vector<double>& values);
    // The determinant of the matrix of the last successful factor, from its
    // pivots, row scales and the parities of both permutations; needs a
    // factor (else std::logic_error).
    DeterminantSign determinant() const;

  private:
    void solve_with(std::vector<double>& rhs, bool transposed);

    struct Klu;
    CompressedColumns pattern_;
    std::unique_ptr<Klu> klu_;
    int singular_column_ = -1;
};
