#pragma once

#include "command_options.h"
#include "command_table.h"

// `quillon check MODEL [--at SYMBOL=VALUE]... [--spy FILE.svg] [--format text|json]`.
void add_check_options(CLI::App& command, CheckOptions& options);

// The model doctor. Writes its findings and, when asked, the Jacobian's
// pattern as SVG. Answers failure when it found errors, else success.
int run_check(const CheckOptions& options, const CommandContext& context);
