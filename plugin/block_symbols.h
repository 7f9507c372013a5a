#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model_definition.h"

// The symbols of a block's model exactly as the file writes them, by 1-based
// index within the block: its model variables and its equation entries (one
// per Jacobian nonzero), both in file order. The host's lists hold only
// upper-cased names, so a host that shows symbols asks the block for them.
// The model keeps its texts without the terminating NUL that the host's text
// values need, so the symbols are copied here; made again whenever the model
// is registered again.
class BlockSymbols {
  public:
    explicit BlockSymbols(const ModelDefinition& model);

    // The text of the attribute `name` when it is "VARIABLE_SYMBOL n" or
    // "ENTRY_SYMBOL n" with n in decimal digits from 1 to the count; null for
    // any other name. The text lives as long as this object.
    const char* lookup(const char* name) const;

  private:
    void keep(std::string_view symbol);

    // Every symbol followed by a NUL: the model variables', then the entries'.
    std::string texts_;
    // Where each symbol starts in `texts_`, in the same order.
    std::vector<std::size_t> starts_;
    std::size_t variable_count_ = 0;
};
