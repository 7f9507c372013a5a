#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "expr_node.h"
#include "variable_def.h"

// A block's model: its equations and model variables, in file order, and the
// map from variable symbols to host numbers that registration fills.
class ModelDefinition {
  public:
    ModelDefinition() = default;
    ModelDefinition(const ModelDefinition&) = delete;
    ModelDefinition& operator=(const ModelDefinition&) = delete;

    // Reads the model file at `path` and appends its equations, then its model
    // variables. Faults raise the JSON library's exceptions; whatever was
    // appended before the fault stays.
    void load_model(const std::string& path);

    // The first model variable (in file order) whose symbol is `symbol`, byte
    // for byte; null when there is none. Equation entries are never found.
    const VariableDef* find_variable(std::string_view symbol) const;

    void append_equation(std::unique_ptr<ExprNode> equation);
    void append_variable(std::unique_ptr<VariableDef> variable);

    const std::vector<std::unique_ptr<ExprNode>>& equations() const { return equations_; }
    const std::vector<std::unique_ptr<VariableDef>>& variables() const { return variables_; }

    // Symbol of a model variable, exactly as the file writes it, to its host
    // variable number. Filled at registration; keys are never removed.
    std::map<std::string, std::int32_t> symbol_to_number;

  private:
    std::vector<std::unique_ptr<ExprNode>> equations_;
    std::vector<std::unique_ptr<VariableDef>> variables_;
    // First model variable of each symbol, so a reference is found without
    // scanning the variables.
    std::unordered_map<std::string_view, const VariableDef*> first_by_symbol_;
};
