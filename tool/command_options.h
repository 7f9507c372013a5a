#pragma once

#include <string>
#include <vector>

#include "output_format.h"

// What every command takes: the model, the plug-in, the output format, and
// the --at assignments of the starting point (info takes none).
struct ModelOptions {
    std::string model_path;
    std::string plugin_path;
    OutputFormat format = OutputFormat::text;
    std::vector<std::string> at;
};

struct CheckOptions {
    ModelOptions model;
    std::string spy_path;  // empty: no picture
};

struct SolveOptions {
    ModelOptions model;
    std::vector<std::string> fix;
    double tolerance = 1e-9;
    int max_iterations = 100;
    std::string plot_path;  // empty: no picture
};
