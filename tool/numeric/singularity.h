#pragma once

#include <vector>

#include "sparse_lu.h"

// The one judgement of numerical singularity that the solver and the model
// doctor share.
//
// The estimate: KLU's estimate of the 1-norm condition number of the matrix
// with each row weighed by the largest scale its equation has shown, and
// then each column scaled to a largest magnitude of 1, so that units alone
// never make a matrix look singular; infinite where KLU cannot factor it. At
// one point an equation's largest scale is its largest derivative there (the
// rows are scaled to a largest magnitude of 1); over a solve it is the
// largest it had along the way, so that an equation whose derivatives
// vanished as the solve closed in (as at a singular root) shows as such.
// The threshold: beyond SINGULAR_CONDITION a solve through the matrix keeps
// fewer than 6 of the 16 digits of double precision, and its near-null
// combinations of rows are taken for dependence.
constexpr double SINGULAR_CONDITION = 1e10;

inline bool numerically_singular(double condition_estimate) {
    return !(condition_estimate <= SINGULAR_CONDITION);
}

// The scales that weigh each row of a matrix, and then bring each column to
// a largest magnitude of 1 (1 for a column of zeros): the equilibrated matrix
// is diag(rows) A diag(columns).
struct Equilibration {
    std::vector<double> rows;
    std::vector<double> columns;
};

// Scales `values` over `pattern` in place, and answers the scales used: the
// rows by `row_weights`, or where it is empty to a largest magnitude of 1 (1
// for a row of zeros).
Equilibration equilibrate(const CompressedColumns& pattern, std::vector<double>& values,
                          const std::vector<double>& row_weights = {});

// The estimate of the matrix `values` over `pattern`, its rows weighed as
// `equilibrate` weighs them; `lu` must be of that pattern and is left
// holding the equilibrated matrix's factor, if any.
double equilibrated_condition(SparseLu& lu, const CompressedColumns& pattern,
                              std::vector<double> values,
                              const std::vector<double>& row_weights = {});
