#pragma once

#include <ostream>

#include "command_options.h"

// `quillon solve`: Newton's method on the host's equation system, the
// verdict reported to the block and read back from it. Writes the iteration
// log (text) and the result on `out`, why a solve stopped early on `err`.
// Answers 0 when converged, 1 when not.
int run_solve(const SolveOptions& options, std::ostream& out, std::ostream& err);
