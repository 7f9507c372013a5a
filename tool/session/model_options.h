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
