#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "expr_node.h"
#include "model_storage.h"
#include "record_span.h"
#include "symbol_index.h"
#include "variable_def.h"

// A block's model: its equations and model variables, in file order, and the
// map from variable symbols to host numbers that registration fills. The
// model owns every record and text of its trees through its storage.
class ModelDefinition {
  public:
    ModelDefinition() = default;
    ModelDefinition(const ModelDefinition&) = delete;
    ModelDefinition& operator=(const ModelDefinition&) = delete;

    // Reads the model file at `path` and appends its equations, then its model
    // variables. Faults raise the JSON library's exceptions; the equations and
    // variables read before the fault stay.
    void load_model(const std::string& path);

    // The first model variable (in file order) whose symbol is `symbol`, byte
    // for byte; null when there is none. Equation entries are never found.
    const VariableDef* find_variable(std::string_view symbol) const;

    // Records whose texts and trees are kept in `storage()`.
    void append_equation(const ExprNode& equation);
    void append_variable(const VariableDef& variable);
    // The same for whole lists, taken over without a copy when the model has
    // none yet; on a fault, what came before the failing record stays.
    void append_equations(std::vector<ExprNode>&& equations);
    void append_variables(std::vector<VariableDef>&& variables);
    ModelStorage& storage() { return storage_; }
    const ModelStorage& storage() const { return storage_; }

    Span<ExprNode> equations() { return {equations_.data(), equations_.size()}; }
    Span<const ExprNode> equations() const { return {equations_.data(), equations_.size()}; }
    Span<VariableDef> variables() { return {variables_.data(), variables_.size()}; }
    Span<const VariableDef> variables() const { return {variables_.data(), variables_.size()}; }

    // Symbol of a model variable, exactly as the file writes it, to its host
    // variable number. Filled at registration; keys are never removed.
    std::map<std::string, std::int32_t, std::less<>> symbol_to_number;

  private:
    ModelStorage storage_;
    std::vector<ExprNode> equations_;
    std::vector<VariableDef> variables_;
    // Position in `variables_` of the first model variable of each symbol, so
    // a reference is found without scanning the variables.
    SymbolIndex first_by_symbol_;
};
