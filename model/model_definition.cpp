#include "model_definition.h"

const VariableDef* ModelDefinition::find_variable(std::string_view symbol) const {
    auto found = first_by_symbol_.find(symbol);
    return found == first_by_symbol_.end() ? nullptr : &variables_[found->second];
}

void ModelDefinition::append_equation(const ExprNode& equation) {
    equations_.push_back(equation);
}

void ModelDefinition::append_variable(const VariableDef& variable) {
    variables_.push_back(variable);
    try {
        // The key views the symbol in the storage, which lives as long as the
        // model; try_emplace keeps the earlier variable when a symbol repeats.
        first_by_symbol_.try_emplace(variable.variable_symbol, variables_.size() - 1);
    } catch (...) {
        variables_.pop_back();
        throw;
    }
}
