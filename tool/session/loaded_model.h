#pragma once

#include "model_options.h"
#include "model_session.h"
#include "variable_symbols.h"

// A model as the commands start from it: loaded through the plug-in into the
// host, with the variables' symbols as the block answers them, and the
// --start values, then the --at assignments, applied to the host's values.
struct LoadedModel {
    explicit LoadedModel(const ModelOptions& options);

    ModelSession session;
    VariableSymbols symbols;
    // The symbols of the --start file that no model variable has.
    std::vector<std::string> unknown_start_symbols;
};

// The symbol of the variable of nonzero `nonzero_number`; for a nonzero that
// names no model variable, the entry's own symbol marked as such.
std::string nonzero_symbol(const LoadedModel& loaded, int nonzero_number);
