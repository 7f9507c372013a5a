#pragma once

#include <string>

#include <nlohmann/json.hpp>

enum class Severity { error, warning };

// One thing `check` found. Equation and variable are host numbers (0 when the
// finding concerns none); `symbol` names a variable the model does not have.
struct Finding {
    Severity severity = Severity::error;
    std::string kind;
    int equation = 0;
    int variable = 0;
    std::string symbol;
    std::string pointer;  // the place in the file: see place_findings
    std::string message;
    nlohmann::ordered_json details = nlohmann::ordered_json::object();
};
