#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon eval MODEL [--at SYMBOL=VALUE]... [--format text|json]`.
void add_eval_options(CLI::App& command, ModelOptions& options);

// The residuals and Jacobian values the block writes at the starting point.
// Answers the exit code.
int run_eval(const ModelOptions& options, const CommandContext& context);
