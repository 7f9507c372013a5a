#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon info MODEL [--format text|json]`.
void add_info_options(CLI::App& command, ModelOptions& options);

// The plug-in's identity, the model's counts and the Jacobian pattern the
// block declared. Answers the exit code.
int run_info(const ModelOptions& options, const CommandContext& context);
