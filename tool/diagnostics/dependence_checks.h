#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "jacobian_values.h"
#include "scaled_system.h"

// The numerical rank of a square part of the Jacobian whose values have a
// perfect matching (rows[k] matched to columns[k], host numbers from 0), by
// the thresholds below, with its rows and columns scaled to 1 so that
// scaling alone never makes it look singular.
struct SquareRank {
    // One (row, column) per rank lost: a row that adds nothing to the others
    // and a column along whose null direction the unknowns move. Found in
    // each diagonal block of the block-triangular form: in a block of up to
    // 200 equations, by a dense rank-revealing factorisation of the block; in
    // a larger block whose sparse LU finds it (near) singular, by the same
    // factorisation of the rows (and columns) that the block's near-null
    // combination weighs, at most 200.
    std::vector<std::pair<int, int>> lost;
    // The sparse LU's condition estimate of the whole part (infinity when it
    // is singular to working precision).
    double condition = 0.0;
    // The whole part, factored, for solves and near-null combinations.
    std::unique_ptr<ScaledSystem> system;

    // Above this condition estimate a part is searched for dependent rows.
    static double singular_condition();
    // Above this one, though regular, a Newton step through it keeps fewer
    // than half the digits of double precision: ill-conditioned.
    static double ill_condition();
};

SquareRank square_rank(const JacobianValues& jacobian, const std::vector<int>& rows,
                       const std::vector<int>& columns);

// The rows and columns of a part that weigh at least a tenth of the largest
// in its near-null combinations, heaviest first (empty when it does not
// factor even moved): the equations and variables most involved in its
// ill-conditioning.
struct Involved {
    std::vector<int> rows;
    std::vector<int> columns;
};
Involved most_involved(SquareRank& rank, const std::vector<int>& rows,
                       const std::vector<int>& columns);
