#pragma once

#include <string>
#include <vector>

#include "loaded_model.h"
#include "system_choice.h"

// The solver's rows and columns named as the model file names them, through
// the system a solve took.

// The equation of row `row`, and those of `rows`.
std::string equation_name(const LoadedModel& loaded, const SystemChoice& choice, int row);
std::vector<std::string> equation_names(const LoadedModel& loaded, const SystemChoice& choice,
                                        const std::vector<int>& rows);
// The symbol of the unknown of column `column`, and those of `columns`.
std::string unknown_symbol(const LoadedModel& loaded, const SystemChoice& choice, int column);
std::vector<std::string> unknown_symbols(const LoadedModel& loaded, const SystemChoice& choice,
                                         const std::vector<int>& columns);
// "x = 1.5, y = 2" for the unknowns of `columns` at `x`.
std::string unknown_values(const std::vector<double>& x, const LoadedModel& loaded,
                           const SystemChoice& choice, const std::vector<int>& columns);
