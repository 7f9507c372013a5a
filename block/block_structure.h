#pragma once

// The block's structure for the host: its dimensions, the registration of its
// variables and equations, and the numbering that residuals, Jacobian and
// pattern rely on afterwards.

#include <cstdint>
#include <string>
#include <string_view>

#include "host_matrix.h"
#include "model_definition.h"

class ZELEOBlock;

struct BlockDimensions {
    int variables = 0;
    int equations = 0;
    int nonzeros = 0;  // one per equation entry, repeated variables included
};

// The dimensions of `model`; all 0 without a model.
BlockDimensions count_dimensions(const ModelDefinition* model);

// Registers every model variable, then every equation, with the host's lists
// in file order, numbering them from the starts in `numbering` and writing
// var_last and eqn_last; then resolves the entries' variable numbers and
// numbers the nonzeros from nz_start. `host` must be complete; `owner` goes
// into each equation's record.
void register_model(ModelDefinition& model, const HostMatrix& host, ZELEOBlock* owner,
                    BlockNumbering& numbering);

// Maps each model variable's symbol to its number (the later of two variables
// with one symbol wins) and gives each equation entry the number of its
// symbol, 0 for a symbol that no model variable has.
void resolve_variable_numbers(ModelDefinition& model);

// A copy with the bytes a to z upper-cased and every other byte unchanged.
std::string to_upper_name(std::string_view text);
