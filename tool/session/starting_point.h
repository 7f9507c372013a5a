#pragma once

#include <string>
#include <vector>

#include "model_session.h"
#include "variable_symbols.h"

// One SYMBOL=VALUE of --at or --fix.
struct Assignment {
    std::string symbol;
    double value;
};

// Reads "SYMBOL=VALUE": the symbol is everything before the last '=', the
// value a whole number text of a finite number. Throws UsageError when the
// text is not of that form.
Assignment parse_assignment(const std::string& text);
std::vector<Assignment> parse_assignments(const std::vector<std::string>& texts);

// Sets every model variable of each assignment's symbol in the host's value
// vector, in order, and answers the variable numbers set. Throws UsageError
// naming `option` for a symbol that no model variable has, and for a value
// outside a variable's bounds, naming the bound.
std::vector<int> apply_assignments(const std::vector<Assignment>& assignments,
                                   const VariableSymbols& symbols, ModelSession& session,
                                   const std::string& option);
