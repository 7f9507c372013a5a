#pragma once

#include <string>
#include <vector>

#include "output_format.h"

// What every command takes: the model, the plug-in, the output format, and
// the starting point: an earlier result's values (--start), then the --at
// assignments (info takes neither).
struct ModelOptions {
    std::string model_path;
    std::string plugin_path;
    OutputFormat format = OutputFormat::text;
    std::string start_path;  // empty: no earlier result
    std::vector<std::string> at;
};
