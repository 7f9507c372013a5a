#pragma once

#include <limits>
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
    double tolerance = 1e-9;  // bounds each residual over its equation's scale
    // The largest absolute residual accepted; infinite: no absolute test.
    double absolute_tolerance = std::numeric_limits<double>::infinity();
    int max_iterations = 100;
    std::string plot_path;  // empty: no picture
};
