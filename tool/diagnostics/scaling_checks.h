#pragma once

#include <vector>

#include "finding.h"
#include "jacobian_values.h"
#include "system_names.h"

// The equations and variables the Jacobian's ill-conditioning involves at
// the starting point (host numbers from 0; empty when it is not
// ill-conditioned).
struct IllConditioned {
    std::vector<int> rows;
    std::vector<int> columns;
};

// badly-scaled-equation and badly-scaled-variable: an equation whose largest
// derivative lies a factor of 10^6 or more from the median equation's, or a
// variable whose derivatives, relative to their equations' largest, lie that
// far from the median variable's, and only where that matters: the spread
// is beyond what double precision carries (a factor of 1/epsilon), or the
// equation or variable is among those most involved in the ill-conditioning
// of the Jacobian with rows and columns scaled to 1. Scaling alone does not
// trouble a solver that scales, so a sound model in any units gets none.
void check_scaling(const SystemNames& names, const JacobianValues& jacobian,
                   const IllConditioned& ill, std::vector<Finding>& findings);
