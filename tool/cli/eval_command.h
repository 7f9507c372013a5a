#pragma once

#include <ostream>

#include "command_options.h"

// `quillon eval`: the residuals and Jacobian values the block writes at the
// starting point. Answers the exit code.
int run_eval(const ModelOptions& options, std::ostream& out);
