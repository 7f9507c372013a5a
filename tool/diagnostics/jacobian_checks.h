#pragma once

#include <utility>
#include <vector>

#include "finding.h"
#include "model_session.h"
#include "numbered_model.h"
#include "structural_matching.h"

// The Jacobian's values at one point, as the block writes them into the
// host's vectors, summed per equation and variable (the host adds the
// derivatives of an equation's entries of one variable).
struct JacobianValues {
    int rows = 0;
    int columns = 0;
    // Per row (equation, from 0): (column, value), columns ascending.
    std::vector<std::vector<std::pair<int, double>>> row_entries;
    bool finite = true;  // no value is NaN or infinite
};

// Evaluates the Jacobian at the session's current values.
JacobianValues jacobian_values(ModelSession& session);

// The checks of the Jacobian's numbers at the starting point: singular-start
// (derivatives that the structure needs are 0 there), dependent-equations
// (from a rank-revealing factorisation of each small diagonal block of the
// block-triangular form), ill-conditioned (a block whose rows come close to
// dependence), and badly-scaled-equation and badly-scaled-variable (rows and
// columns whose largest derivatives lie far from the others'). Quiet when the
// values are not finite (non-finite reports them); the system's checks are
// left out when `findings` already holds errors (a wrong or missing
// derivative makes the values say nothing of the system) or the structure
// is singular (structurally-singular reports that).
void check_jacobian(const NumberedModel& model, const BipartiteGraph& structure,
                    const JacobianValues& jacobian, std::vector<Finding>& findings);
