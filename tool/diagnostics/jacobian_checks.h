#pragma once

#include <vector>

#include "finding.h"
#include "jacobian_values.h"
#include "model_session.h"
#include "numbered_model.h"
#include "numeric_checks.h"
#include "structural_matching.h"

// The checks of the Jacobian's numbers: the system's rank (see check_rank:
// dependent-equations, contradicting-equations, singular-start,
// ill-conditioned, and the numerical advice of not-square), judged at the
// starting point, whose Jacobian is `jacobian`, and where needed at the
// other `points`, evaluated through `session`; then badly-scaled-equation
// and badly-scaled-variable (see check_scaling). Quiet when the values at
// the start are not finite (non-finite reports them); the rank is left
// unjudged when `findings` already holds errors (a wrong or missing
// derivative makes the values say nothing of the system) or the structure
// is singular (structurally-singular reports that).
void check_jacobian(ModelSession& session, const NumberedModel& model,
                    const BipartiteGraph& structure, const JacobianValues& jacobian,
                    const std::vector<CheckPoint>& points, std::vector<Finding>& findings);
