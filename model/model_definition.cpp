#include "model_definition.h"

const VariableDef* ModelDefinition::find_variable(std::string_view symbol) const {
    const std::size_t found = first_by_symbol_.find(symbol);
    return found == SymbolIndex::none ? nullptr : &variables_[found];
}

void ModelDefinition::append_equation(const ExprNode& equation) {
    equations_.push_back(equation);
}

void ModelDefinition::append_variable(const VariableDef& variable) {
    variables_.push_back(variable);
    try {
        // The key views the symbol in the storage, which lives as long as the
        // model; the earlier variable stays when a symbol repeats.
        first_by_symbol_.insert_first(variable.variable_symbol, variables_.size() - 1);
    } catch (...) {
        variables_.pop_back();
        throw;
    }
}

void ModelDefinition::append_equations(std::vector<ExprNode>&& equations) {
    if (equations_.empty()) {
        equations_ = std::move(equations);
    } else {
        equations_.insert(equations_.end(), equations.begin(), equations.end());
    }
}

void ModelDefinition::append_variables(std::vector<VariableDef>&& variables) {
    const std::size_t before = variables_.size();
    if (before == 0) {
        variables_ = std::move(variables);
    } else {
        variables_.insert(variables_.end(), variables.begin(), variables.end());
    }
    std::size_t i = before;
    try {
        first_by_symbol_.reserve(variables_.size());
        for (; i < variables_.size(); ++i) {
            first_by_symbol_.insert_first(variables_[i].variable_symbol, i);
        }
    } catch (...) {
        variables_.resize(i);  // the variables before the one whose key failed
        throw;
    }
}
