#pragma once

#include <cstdint>
#include <string>

#include "command_options.h"
#include "command_table.h"

struct BenchOptions {
    ModelOptions model;
    int repeat = 5;
};

// Medians over the repeats of loading a model through the plug-in (create and
// registration, as the host does both) and of one evaluation of its residuals
// and of its Jacobian at the starting point, with the model's size.
struct BenchFigures {
    double load_s = 0.0;
    std::int64_t evaluations = 0;  // timed per repeat, for each of the two
    double residual_s = 0.0;       // per evaluation
    double jacobian_s = 0.0;
    std::int64_t nodes = 0;  // of every residual and derivative tree
    int equations = 0;
    int nonzeros = 0;
};

BenchFigures measure_bench(const std::string& plugin_path, const std::string& model_path,
                           int repeat);

// `quillon bench MODEL [--repeat N] [--format text|json]`.
void add_bench_options(CLI::App& command, BenchOptions& options);

// Prints the figures. Answers the exit code.
int run_bench(const BenchOptions& options, const CommandContext& context);
