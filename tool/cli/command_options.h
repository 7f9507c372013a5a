#pragma once

#include <limits>
#include <optional>
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

// What solve and sweep share: the system to solve and how.
struct SystemOptions {
    ModelOptions model;
    std::vector<std::string> fix;
    std::vector<std::string> free;  // equation names
    bool force = false;             // solve a model that has faults
    double tolerance = 1e-9;        // bounds each residual over its equation's scale
    // The largest absolute residual accepted; infinite: no absolute test.
    double absolute_tolerance = std::numeric_limits<double>::infinity();
    int max_iterations = 100;
};

struct SolveOptions {
    SystemOptions system;
    std::string plot_path;             // empty: no picture
    std::vector<std::string> outputs;  // the variables to show; empty: every one
    bool quiet = false;                // no iteration log
};

struct SweepOptions {
    SystemOptions system;
    std::string vary;  // SYMBOL=FROM:TO:STEPS
    std::vector<std::string> outputs;
    std::string plot_path;  // empty: no picture
    int jobs = 1;           // processes solving at once; 0: one per core
    // --follow: the curve followed by arc length; its steps and most points
    // (0: the defaults, from STEPS).
    bool follow = false;
    double min_step = 0.0;
    double max_step = 0.0;
    int max_points = 0;
};

// The options of every command that reads a model through the plug-in: the
// MODEL file and --format (text and json, and csv when `with_csv`).
void add_model_options(CLI::App& command, ModelOptions& options, bool with_csv);

// The starting point: --start RESULT (an earlier solve's values by symbol),
// --strict (refuse a RESULT that did not converge) and --at SYMBOL=VALUE,
// repeatable, applied after it.
void add_start_options(CLI::App& command, ModelOptions& options);

// The options solve and sweep share: MODEL, --format (with csv), --at,
// --start, --fix, --free, --force, --tol and --max-iter.
void add_system_options(CLI::App& command, SystemOptions& options);

// Checks SYMBOL=VALUE while the command line is read.
const CLI::Validator& assignment_text();

// Checks a number above 0, or of at least 0 when `zero_allowed`.
CLI::Validator sign_check(bool zero_allowed);

// The model of `options` loaded through the context's plug-in, from the
// file that the context's inputs make of its MODEL argument.
// `scan_ahead`: what of the file the command will read in any case (see
// LoadedModel::file), read while the plug-in loads the model.
LoadedModel load_model(ModelOptions options, const CommandContext& context,
                       std::optional<ScanTexts> scan_ahead = std::nullopt);

// Warns on `err` when the --start result `start_path` says it did not
// converge, and of its symbols that no model variable has (their values were
// not used).
void warn_about_start(const LoadedModel& loaded, const std::string& start_path, std::ostream& err);

// Checks a MODEL argument while the command line is read: "-" or a file
// that exists.
const CLI::Validator& model_argument();
