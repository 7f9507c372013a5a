#pragma once

#include <utility>
#include <vector>

#include "finding.h"
#include "jacobian_values.h"
#include "model_session.h"
#include "numbered_model.h"
#include "structural_matching.h"

// The checks of the Jacobian's numbers at the starting point: singular-start
// (derivatives that the structure needs are 0 there), dependent-equations
// and ill-conditioned (see check_dependence), and badly-scaled-equation and badly-scaled-variable
// (rows and columns whose largest derivatives lie far from the others'). Quiet when the values are
// not finite (non-finite reports them); the system's checks are left out when `findings` already
// holds errors (a wrong or missing derivative makes the values say nothing of the system) or the
// structure is singular (structurally-singular reports that).
void check_jacobian(const NumberedModel& model, const BipartiteGraph& structure,
                    const JacobianValues& jacobian, std::vector<Finding>& findings);
