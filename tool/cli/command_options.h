#pragma once

#include <string>
#include <vector>

#include "model_options.h"

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
