#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon sweep MODEL --vary SYMBOL=FROM:TO:STEPS [--output SYMBOL]... [--plot
// FILE.svg]` and the options of solve but its --plot.
void add_sweep_options(CLI::App& command, SweepOptions& options);

// `quillon sweep`: solves the model at each value of one variable, each solve
// starting from the previous solution, and prints one row per value with the
// outputs and the verdict. Answers 0 when every value converged, 1 when not.
int run_sweep(const SweepOptions& options, const CommandContext& context);
