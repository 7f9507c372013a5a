#pragma once

#include <set>
#include <string>
#include <vector>

#include "loaded_model.h"

// d(output)/d(input) at a solution x (one value per variable) where the
// variables in `fixed` were held and the equations in `freed` left out: each
// input is a fixed variable taken as a parameter. By the implicit function
// theorem, J_u dx_u/dp = -dF/dp, with J_u the Jacobian of the unknowns in the
// equations kept, factored once by the sparse LU, and dF/dp the input's
// column of the Jacobian; one solve per input. Answers the values
// row by row (one row per output, one column per input). An output that is
// itself fixed moves only with itself.
//
// Throws UsageError for a symbol the model lacks or an input that was not
// fixed, and SolveFailure when the Jacobian of the unknowns is singular.
std::vector<double> sensitivities(LoadedModel& loaded, const std::vector<double>& x,
                                  const std::set<int>& fixed, const std::set<int>& freed,
                                  const std::vector<std::string>& outputs,
                                  const std::vector<std::string>& inputs);
