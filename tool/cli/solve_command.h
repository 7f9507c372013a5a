#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon solve MODEL [--at SYMBOL=VALUE]... [--fix SYMBOL=VALUE]... [--tol]
// [--max-iter] [--plot FILE.svg] [--format text|json|csv]`.
void add_solve_options(CLI::App& command, SolveOptions& options);

// Newton's method on the host's equation system, the verdict reported to the
// block and read back from it. Writes the iteration log (text) and the
// result on `out`, why a solve stopped early on `err`. Answers success when
// converged, failure when not.
int run_solve(const SolveOptions& options, const CommandContext& context);
