#pragma once

#include <optional>
#include <string>

#include "command_table.h"

// `quillon show MODEL [--equation NAME]`.
struct ShowOptions {
    std::string model_path;
    std::optional<std::string> equation;  // none: the whole model
    bool exact = false;                   // trees as the file holds them, not folded to read
};

void add_show_options(CLI::App& command, ShowOptions& options);

// Prints the model file as equations with their entries' derivatives, or
// only the equations named `options.equation`, which must exist. Reads the
// file as the plug-in reads it (a missing file as an empty one), without
// loading the plug-in. Answers success.
int run_show(const ShowOptions& options, const CommandContext& context);
