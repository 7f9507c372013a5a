#pragma once

#include <utility>
#include <vector>

#include "jacobian_values.h"

// Equations whose Jacobian rows combine to (nearly) zero: `combination`
// holds every row's weight beyond round-off (host numbers from 0,
// ascending), `rows` and `weights` those that weigh at least a millionth of
// the largest, the set named. `dropped` is the one of them the analysis set
// aside: dropping it leaves the others independent.
struct DependentSet {
    std::vector<int> rows;
    std::vector<double> weights;
    std::vector<std::pair<int, double>> combination;
    int dropped = -1;
};

// A direction in which the unknowns move without changing any residual to
// first order: the sum of weights[k] times column columns[k] vanishes.
// `fixed` is the one the analysis held: fixing it stops the others.
struct NullDirection {
    std::vector<int> columns;  // host numbers from 0, ascending
    std::vector<double> weights;
    int fixed = -1;
};

// The numerical rank of a system of equations (rows) in unknowns (columns)
// at one point, and what it lacks. A square part of the Jacobian is chosen
// by a maximum matching of its nonzero values, then rows (in a system of
// more equations than unknowns), columns (of more unknowns than equations)
// or both (when square) that the part shows dependent are set aside until
// what is left is regular; every equation left out is then written as a
// combination of those in the part, every unknown left out as a direction
// of the part's unknowns, by solves with the part's sparse LU.
struct SystemRank {
    int rows = 0;
    int columns = 0;
    int rank = 0;  // the size of the regular part found
    // One per equation beyond the unknowns (a system of more equations):
    // the sets to drop one of each.
    std::vector<DependentSet> surplus;
    // One per unknown beyond the equations: the directions to fix.
    std::vector<NullDirection> freedom;
    // The rank lost beyond the system's shape: dependent equations and,
    // as many, directions of unknowns that they leave free.
    std::vector<DependentSet> dependent;
    std::vector<NullDirection> free;
    // How many of those, the last ones, the matching of nonzero values left
    // unmatched: derivatives that vanish at the point.
    int lost_to_zeros = 0;
    // The square part left, and its condition estimate (rows and columns
    // scaled to 1); the sets above are only found when it is regular.
    std::vector<int> part_rows;
    std::vector<int> part_columns;
    double condition = 0.0;
    bool complete = false;  // every set above was found
    // When nothing is lost but the condition estimate exceeds the
    // ill-conditioned threshold, the equations and variables that weigh
    // most in the part's near-null combinations, heaviest first.
    std::vector<int> involved_rows;
    std::vector<int> involved_columns;

    int shortfall() const { return static_cast<int>(dependent.size()); }
};

// The analysis of the system `rows` × `columns` (host numbers from 0) with
// the Jacobian's values at one point. Time near-linear in the nonzeros when
// nothing is lost; a factorisation more for each round of rows and columns
// set aside.
SystemRank system_rank(const JacobianValues& jacobian, const std::vector<int>& rows,
                       const std::vector<int>& columns);

// All rows and all columns of the Jacobian, for the system of the whole
// model.
std::vector<int> all_rows(const JacobianValues& jacobian);
std::vector<int> all_columns(const JacobianValues& jacobian);
