#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon info MODEL [--summary] [--format text|json]`.
void add_info_options(CLI::App& command, InfoOptions& options);

// The plug-in's identity, the model's counts and, unless a summary is asked
// for, the variables and the Jacobian pattern the block declared. Answers the
// exit code.
int run_info(const InfoOptions& options, const CommandContext& context);
