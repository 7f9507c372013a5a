#pragma once

#include <string>
#include <vector>

#include "starting_point.h"

// The values of an earlier `quillon solve` result, by symbol, read from its
// JSON document (the "variables" list) or its CSV (the "symbol" and "value"
// columns); which of the two the file's first character tells. Non-finite
// values are written as "nan", "inf" and "-inf" and read back as such.
// Throws UsageError naming `path` when the file is neither.
std::vector<Assignment> read_result_values(const std::string& path);

// Sets every model variable of each assignment's symbol, in order, and
// answers the symbols that no model variable has (once each, in file order).
std::vector<std::string> apply_known_assignments(const std::vector<Assignment>& assignments,
                                                 const VariableSymbols& symbols,
                                                 ModelSession& session);
