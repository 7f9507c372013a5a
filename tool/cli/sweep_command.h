#pragma once

#include <ostream>

#include "command_options.h"

// `quillon sweep`: solves the model at each value of one variable, each solve
// starting from the previous solution, and prints one row per value with the
// outputs and the verdict. Answers 0 when every value converged, 1 when not.
int run_sweep(const SweepOptions& options, std::ostream& out, std::ostream& err);
