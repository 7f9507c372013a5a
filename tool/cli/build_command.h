#pragma once

#include <string>

#include "command_table.h"

// `quillon build EQUATIONS [-o MODEL.json]`.
struct BuildOptions {
    std::string equations_path;  // "-": standard input
    std::string output_path;     // empty: standard output
};

void add_build_options(CLI::App& command, BuildOptions& options);

// Writes the model file for the equation text at `options.equations_path`,
// to `options.output_path` or else to `out`. A fault in the text is written
// on `err` as FILE:LINE:COLUMN: error: MESSAGE and answers
// usage_or_model_error, nothing being written; a file that cannot be read or
// written raises. Answers success when built.
int run_build(const BuildOptions& options, const CommandContext& context);
