#pragma once

#include <utility>
#include <vector>

#include "model_session.h"

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
