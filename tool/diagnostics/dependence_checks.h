#pragma once

#include <vector>

#include "finding.h"
#include "jacobian_values.h"
#include "numbered_model.h"
#include "structural_matching.h"

// The numerical rank and condition of a square Jacobian whose values have a
// perfect matching, `order` its block-triangular form:
// - dependent-equations for each set of equations whose rows are
//   numerically dependent: in a diagonal block of up to 200 equations, from
//   a dense rank-revealing factorisation of the block; in a larger block
//   whose sparse LU finds it (near) singular, from the same factorisation of
//   the rows that the block's near-null combination weighs, at most 200;
// - ill-conditioned when none is found but the condition estimate of the
//   whole Jacobian, rows and columns scaled to 1, exceeds 1/sqrt(epsilon),
//   naming the equations and variables of its near-null combinations.
void check_dependence(const NumberedModel& model, const JacobianValues& jacobian,
                      const BlockTriangularOrder& order, std::vector<Finding>& findings);
