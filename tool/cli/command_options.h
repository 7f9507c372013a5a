#pragma once

#include <string>
#include <vector>

#include "model_options.h"

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
    double tolerance = 1e-9;
    int max_iterations = 100;
};

struct SolveOptions {
    SystemOptions system;
    std::string plot_path;  // empty: no picture
};

struct SweepOptions {
    SystemOptions system;
    std::string vary;  // SYMBOL=FROM:TO:STEPS
    std::vector<std::string> outputs;
    std::string plot_path;  // empty: no picture
};
