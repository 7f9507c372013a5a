#pragma once

#include <string>
#include <vector>

#include "variable_symbols.h"

// The variables a result shows, one column or row each.
struct OutputChoice {
    std::vector<std::string> symbols;
    std::vector<int> numbers;  // host numbers, the first model variable of each symbol
};

// The variables of each of `asked` (a symbol, or a pattern over a family's
// indices, see NameResolver), in the order typed and within a pattern in
// host order, each symbol once; when none is asked, the variables numbered
// `otherwise`. Throws UsageError starting with `option` and the typed name
// for one that names no variable.
OutputChoice chosen_outputs(const VariableSymbols& symbols, const std::vector<std::string>& asked,
                            const std::vector<int>& otherwise, const std::string& option);
