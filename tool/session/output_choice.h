#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model_extras.h"
#include "variable_symbols.h"

// The columns or rows a result shows: model variables, and the model's own
// outputs (the equation language's out statements).
struct OutputChoice {
    std::vector<std::string> symbols;
    // Host numbers, the first model variable of each symbol; 0 for a model
    // output.
    std::vector<int> numbers;
    // By column: which of the model's outputs a column of number 0 shows.
    std::vector<std::size_t> model_outputs;

    bool any_model_output() const;
};

// The variables and outputs of each of `asked` (an output's symbol, a
// variable's, or a pattern over a family's indices, see NameResolver), in the
// order typed and within a pattern in host order, each symbol once; when none
// is asked, the variables numbered `otherwise` and then every output of
// `extras` (none when it is null: variables alone). Throws UsageError
// starting with `option` and the typed name for one that names neither.
OutputChoice chosen_outputs(const VariableSymbols& symbols, const ModelExtras* extras,
                            const std::vector<std::string>& asked,
                            const std::vector<int>& otherwise, const std::string& option);
