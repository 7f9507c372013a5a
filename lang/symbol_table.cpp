#include "symbol_table.h"

#include <utility>

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

const char* kind_noun(Declaration::Kind kind) {
    switch (kind) {
        case Declaration::Kind::constant:
            return "constant";
        case Declaration::Kind::variable:
            return "variable";
        case Declaration::Kind::parameter:
            return "parameter";
        case Declaration::Kind::output:
            return "output";
    }
    return "name";
}

std::string kind_text(Declaration::Kind kind) {
    return (kind == Declaration::Kind::output ? "an " : "a ") + std::string(kind_noun(kind));
}

const Declaration* SymbolTable::find(const std::string& symbol) const {
    const auto found = declared_.find(symbol);
    return found == declared_.end() ? nullptr : &found->second;
}

const FunctionDefinition* SymbolTable::find_function(std::string_view name) const {
    const auto found = functions_.find(std::string(name));
    return found == functions_.end() ? nullptr : &found->second;
}

void SymbolTable::refuse_taken(const std::string& symbol, Position where) const {
    if (const Declaration* taken = find(symbol)) {
        fail_at(where, symbol + " is already declared as " + kind_text(taken->kind) + " at line " +
                           std::to_string(taken->position.line));
    }
    if (const FunctionDefinition* function = find_function(symbol)) {
        fail_at(where, symbol + " is already defined as a function at line " +
                           std::to_string(function->position.line));
    }
}

void SymbolTable::refuse_case_twin(const std::string& symbol, Position where) {
    const auto [found, added] = named_by_host_name_.try_emplace(host_name(symbol), symbol);
    if (!added) {
        const Declaration* twin = find(found->second);
        fail_at(where, symbol + " and the " + (twin ? kind_noun(twin->kind) : "name") + " " +
                           found->second +
                           " differ only in letter case, and the host upper-cases names");
    }
}

void SymbolTable::declare_constant(const std::string& symbol, double value, Position where) {
    refuse_taken(symbol, where);
    declared_.emplace(symbol, Declaration{Declaration::Kind::constant, value, nullptr, where});
    constants_.emplace_back(symbol, value);
}

void SymbolTable::declare_variable(const std::string& symbol, Position where, bool parameter) {
    refuse_taken(symbol, where);
    refuse_case_twin(symbol, where);
    const auto kind = parameter ? Declaration::Kind::parameter : Declaration::Kind::variable;
    declared_.emplace(symbol, Declaration{kind, 0.0, nullptr, where});
}

void SymbolTable::declare_output(const std::string& symbol, Expr expression, Position where) {
    refuse_taken(symbol, where);
    refuse_case_twin(symbol, where);
    declared_.emplace(symbol,
                      Declaration{Declaration::Kind::output, 0.0,
                                  std::make_shared<const Expr>(std::move(expression)), where});
}

void SymbolTable::define_function(const FunctionStatement& statement) {
    refuse_taken(statement.name, statement.position);
    for (std::size_t index = 0; index < statement.parameters.size(); ++index) {
        const std::string& parameter = statement.parameters[index];
        const Position where = statement.parameter_positions[index];
        if (const Declaration* taken = find(parameter)) {
            fail_at(where, "the argument " + parameter + " of " + statement.name +
                               " has the name of " + kind_text(taken->kind) + " declared at line " +
                               std::to_string(taken->position.line));
        }
        for (std::size_t before = 0; before < index; ++before) {
            if (statement.parameters[before] == parameter) {
                fail_at(where, statement.name + " names two arguments " + parameter);
            }
        }
    }
    functions_.emplace(statement.name, FunctionDefinition{statement.parameters, statement.body,
                                                          statement.position});
}

}  // namespace lang
