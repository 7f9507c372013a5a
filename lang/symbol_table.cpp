#include "symbol_table.h"

namespace lang {

std::string host_name(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

const Declaration* SymbolTable::find(const std::string& symbol) const {
    const auto found = declared_.find(symbol);
    return found == declared_.end() ? nullptr : &found->second;
}

void SymbolTable::refuse_taken(const std::string& symbol, Position where) const {
    if (const Declaration* taken = find(symbol)) {
        const char* kind = taken->kind == Declaration::Kind::constant ? "a constant" : "a variable";
        fail_at(where, symbol + " is already declared as " + kind + " at line " +
                           std::to_string(taken->position.line));
    }
}

void SymbolTable::declare_constant(const std::string& symbol, double value, Position where) {
    refuse_taken(symbol, where);
    declared_.emplace(symbol, Declaration{Declaration::Kind::constant, value, where});
}

void SymbolTable::declare_variable(const std::string& symbol, Position where) {
    refuse_taken(symbol, where);
    const auto [found, added] = variable_by_host_name_.try_emplace(host_name(symbol), symbol);
    if (!added) {
        fail_at(where, symbol + " and the variable " + found->second +
                           " differ only in letter case, and the host upper-cases names");
    }
    declared_.emplace(symbol, Declaration{Declaration::Kind::variable, 0.0, where});
}

}  // namespace lang
