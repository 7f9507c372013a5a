#pragma once

#include <limits>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "command_table.h"
#include "loaded_model.h"
#include "model_options.h"

struct InfoOptions {
    ModelOptions model;
    bool summary = false;  // the counts alone
};

struct CheckOptions {
    ModelOptions model;
    std::string spy_path;  // empty: no picture
};

struct SolveOptions {
    ModelOptions model;
    std::vector<std::string> fix;
    double tolerance = 1e-9;  // bounds each residual over its equation's scale
    // The largest absolute residual accepted; infinite: no absolute test.
    double absolute_tolerance = std::numeric_limits<double>::infinity();
    int max_iterations = 100;
    std::string plot_path;  // empty: no picture
};

// The options of every command that reads a model through the plug-in: the
// MODEL file and --format (text and json, and csv when `with_csv`).
void add_model_options(CLI::App& command, ModelOptions& options, bool with_csv);

// --at SYMBOL=VALUE, repeatable.
void add_at_option(CLI::App& command, ModelOptions& options);

// Checks SYMBOL=VALUE while the command line is read.
const CLI::Validator& assignment_text();

// Checks a number above 0, or of at least 0 when `zero_allowed`.
CLI::Validator sign_check(bool zero_allowed);

// The model of `options` loaded through the context's plug-in, from the
// file that the context's inputs make of its MODEL argument.
LoadedModel load_model(ModelOptions options, const CommandContext& context);

// Checks a MODEL argument while the command line is read: "-" or a file
// that exists.
const CLI::Validator& model_argument();
