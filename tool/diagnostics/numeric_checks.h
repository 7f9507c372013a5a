#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "numbered_model.h"
#include "tree_checks.h"

// One point at which the trees are evaluated: a value per host variable.
struct CheckPoint {
    std::string label;  // "starting point", "interior point 1", ...
    std::vector<double> values;
};

// The numeric checks of one equation at each point (the first being the
// starting point): non-finite residuals and derivatives at the starting
// point; derivative-mismatch and kink wherever the residual is finite.
// Entries of one variable are compared by the sum of their derivatives, as
// the host sums them. Reports each kind for each variable of an equation at most once. The
// points' values are moved while differencing and restored afterwards.
void check_equation_numbers(const NumberedModel& model, const EquationPlace& place,
                            const EquationScan& scan, std::vector<CheckPoint>& points,
                            std::vector<Finding>& findings);
