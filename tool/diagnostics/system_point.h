#pragma once

#include <string>
#include <vector>

#include "jacobian_values.h"
#include "model_session.h"

// The system's values at one point: the Jacobian, summed per equation and
// variable, and the residuals, at one value per host variable.
struct SystemPoint {
    std::string label;              // "starting point", "interior point 1", ...
    std::vector<double> values;     // per host variable, from 0
    std::vector<double> residuals;  // per host equation, from 0
    JacobianValues jacobian;
    // Every residual and derivative is finite and the block evaluated them
    // without a fault.
    bool usable = false;
};

// Evaluates the residuals and the Jacobian at `values`, leaving the session's
// values as they were. A fault of the block's evaluation there (a numeric
// text that is no number) leaves the point unusable.
SystemPoint system_point(ModelSession& session, std::string label,
                         const std::vector<double>& values);

// The same at the session's current values, whose Jacobian the caller has
// already (not finite when it could not be evaluated).
SystemPoint current_point(ModelSession& session, std::string label, JacobianValues jacobian);
