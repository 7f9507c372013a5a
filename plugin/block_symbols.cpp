#include "block_symbols.h"

#include <string_view>

namespace {

constexpr std::string_view VARIABLE_SYMBOL_ATTRIBUTE = "VARIABLE_SYMBOL";
constexpr std::string_view ENTRY_SYMBOL_ATTRIBUTE = "ENTRY_SYMBOL";

// The index n of `name` when it is `prefix`, one space and decimal digits
// only, worth 1 to `count`; 0 for anything else, overflow included.
std::size_t attribute_index(std::string_view name, std::string_view prefix, std::size_t count) {
    if (name.size() <= prefix.size() + 1 || name.substr(0, prefix.size()) != prefix ||
        name[prefix.size()] != ' ') {
        return 0;
    }
    std::size_t index = 0;
    for (const char digit : name.substr(prefix.size() + 1)) {
        if (digit < '0' || digit > '9') {
            return 0;
        }
        index = index * 10 + static_cast<std::size_t>(digit - '0');
        // Stopping as soon as the count is passed keeps the sum from overflowing.
        if (index > count) {
            return 0;
        }
    }
    return index;
}

}  // namespace

BlockSymbols::BlockSymbols(const ModelDefinition& model) {
    for (const auto& variable : model.variables()) {
        keep(variable.variable_symbol);
    }
    variable_count_ = starts_.size();
    for (const auto& equation : model.equations()) {
        for (const auto& entry : equation.variables()) {
            keep(entry.variable_symbol);
        }
    }
}

void BlockSymbols::keep(std::string_view symbol) {
    starts_.push_back(texts_.size());
    texts_ += symbol;
    texts_ += '\0';
}

const char* BlockSymbols::lookup(const char* name) const {
    if (!name) {
        return nullptr;
    }
    const std::string_view text(name);
    if (const std::size_t index =
            attribute_index(text, VARIABLE_SYMBOL_ATTRIBUTE, variable_count_)) {
        return texts_.c_str() + starts_[index - 1];
    }
    if (const std::size_t index =
            attribute_index(text, ENTRY_SYMBOL_ATTRIBUTE, starts_.size() - variable_count_)) {
        return texts_.c_str() + starts_[variable_count_ + index - 1];
    }
    return nullptr;
}
