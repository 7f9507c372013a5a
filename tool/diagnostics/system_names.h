#pragma once

#include <functional>
#include <string>
#include <vector>

#include "numbered_model.h"

// How the system's findings name equations (rows) and variables (columns),
// numbered from 0: by the model file's names when `check` reads it, by the
// session's when a solve asks.
struct SystemNames {
    std::function<std::string(int row)> equation;
    std::function<std::string(int column)> variable;
};

// The names as the model file writes them.
SystemNames names_of(const NumberedModel& model);

std::vector<std::string> equation_names(const SystemNames& names, const std::vector<int>& rows);
std::vector<std::string> symbols(const SystemNames& names, const std::vector<int>& columns);

// `first` and `second` together, ascending, each once.
std::vector<int> joined(std::vector<int> first, const std::vector<int>& second);
