#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model_file_scan.h"
#include "output_format.h"

// What every command takes: the model, the plug-in, the output format, and
// the starting point: an earlier result's values (--start), then the --at
// assignments (info takes neither).
struct ModelOptions {
    std::string model_path;
    std::string plugin_path;
    OutputFormat format = OutputFormat::text;
    std::string start_path;     // empty: no earlier result
    bool strict_start = false;  // refuse a start_path result that did not converge
    std::vector<std::string> at;
    // Set by a command that will read the file's names (and texts) in any
    // case: the scan then runs while the plug-in loads the model.
    std::optional<ScanTexts> scan_ahead;
    // The constants of the equations the model was built from, with their
    // values, when it was built from equations: what a message names when
    // one is typed where a variable is wanted.
    std::vector<std::pair<std::string, double>> constants;
};
