#pragma once

#include <string>

#include "build_limits.h"
#include "command_table.h"

// `quillon build EQUATIONS [-o MODEL.json] [--max-... N]`.
struct BuildOptions {
    std::string equations_path;  // "-": standard input
    std::string output_path;     // empty: standard output
    lang::BuildLimits limits;
};

void add_build_options(CLI::App& command, BuildOptions& options);

// Writes the model file for the equation text at `options.equations_path`,
// to `options.output_path` or else to `out`. A fault in the text raises
// lang::LangError before anything is written; a file that cannot be read or
// written raises FileFault. Answers success when built.
int run_build(const BuildOptions& options, const CommandContext& context);
