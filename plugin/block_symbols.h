#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model_definition.h"

// The symbols of a block's model exactly as the file writes them, by 1-based
// index within the block: its model variables and its equation entries (one
// per Jacobian nonzero), both in file order. The host's lists hold only
// upper-cased names, so a host that shows symbols asks the block for them.
// Keeps pointers into `model`: it must not outlive it, and is made again
// whenever the model is registered again.
class BlockSymbols {
  public:
    explicit BlockSymbols(const ModelDefinition& model);

    // The text of the attribute `name` when it is "VARIABLE_SYMBOL n" or
    // "ENTRY_SYMBOL n" with n in decimal digits from 1 to the count; null for
    // any other name. The text is the model's own, not a copy.
    const char* lookup(const char* name) const;

  private:
    const ModelDefinition& model_;
    std::vector<const VariableDef*> entries_;
};
