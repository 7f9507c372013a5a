#include "model_definition.h"

#include <utility>

const VariableDef* ModelDefinition::find_variable(std::string_view symbol) const {
    auto found = first_by_symbol_.find(symbol);
    return found == first_by_symbol_.end() ? nullptr : found->second;
}

void ModelDefinition::append_equation(std::unique_ptr<ExprNode> equation) {
    equations_.push_back(std::move(equation));
}

void ModelDefinition::append_variable(std::unique_ptr<VariableDef> variable) {
    variables_.push_back(std::move(variable));
    const VariableDef& added = *variables_.back();
    try {
        // The key views the record's own symbol, which lives as long as the
        // record; try_emplace keeps the earlier variable when a symbol repeats.
        first_by_symbol_.try_emplace(added.variable_symbol, &added);
    } catch (...) {
        variables_.pop_back();
        throw;
    }
}
