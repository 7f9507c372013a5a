#pragma once

#include <string>
#include <vector>

#include "model_session.h"
#include "name_resolver.h"

// The model variables' symbols as the model file writes them, by host number,
// asked of the block once after registration: the host's list holds only the
// upper-cased names, and the tool does not read the file behind the plug-in.
class VariableSymbols {
  public:
    explicit VariableSymbols(const ModelSession& session);

    // By host number (1-based).
    const std::string& symbol(int number) const;
    // Every host number of the variables that `typed` names (see
    // NameResolver: the file's spelling, or any letter case when unique), in
    // order. Throws UsageError starting with `option` when it names none.
    std::vector<int> numbers_named(const std::string& typed, const std::string& option) const;

  private:
    std::vector<std::string> symbols_;
    NameResolver resolver_;
};
