#pragma once

#include <ostream>
#include <string>

// `quillon build EQUATIONS [-o MODEL.json]`.
struct BuildOptions {
    std::string equations_path;  // "-": standard input
    std::string output_path;     // empty: standard output
};

// Writes the model file for the equation text at `options.equations_path`,
// to `options.output_path` or else to `out`. A fault in the text is written
// on `err` as FILE:LINE:COLUMN: error: MESSAGE and answers 2, nothing being
// written; a file that cannot be read or written raises. Answers 0 when built.
int run_build(const BuildOptions& options, std::ostream& out, std::ostream& err);
