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

BlockSymbols::BlockSymbols(const ModelDefinition& model) : model_(model) {
    for (const auto& equation : model.equations()) {
        for (const auto& entry : equation->variables) {
            entries_.push_back(entry.get());
        }
    }
}

const char* BlockSymbols::lookup(const char* name) const {
    if (!name) {
        return nullptr;
    }
    const std::string_view text(name);
    const auto& variables = model_.variables();
    if (const std::size_t index =
            attribute_index(text, VARIABLE_SYMBOL_ATTRIBUTE, variables.size())) {
        return variables[index - 1]->variable_symbol.c_str();
    }
    if (const std::size_t index = attribute_index(text, ENTRY_SYMBOL_ATTRIBUTE, entries_.size())) {
        return entries_[index - 1]->variable_symbol.c_str();
    }
    return nullptr;
}
