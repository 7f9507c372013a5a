#pragma once

#include <string>
#include <vector>

#include "model_session.h"

// The model variables' symbols as the model file writes them, by host number,
// asked of the block once after registration: the host's list holds only the
// upper-cased names, and the tool does not read the file behind the plug-in.
class VariableSymbols {
  public:
    explicit VariableSymbols(const ModelSession& session);

    // By host number (1-based).
    const std::string& symbol(int number) const;
    // Every host number whose symbol is `symbol`, byte for byte, in order.
    std::vector<int> numbers_of(const std::string& symbol) const;

  private:
    std::vector<std::string> symbols_;
};
