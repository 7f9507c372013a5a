#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "numbered_model.h"

// Names of equations (`rows`) and variables (`columns`), numbered from 0, as
// the system's findings print them.
std::vector<std::string> equation_names(const NumberedModel& model, const std::vector<int>& rows);
std::vector<std::string> symbols(const NumberedModel& model, const std::vector<int>& columns);

// `first` and `second` together, ascending, each once.
std::vector<int> joined(std::vector<int> first, const std::vector<int>& second);
