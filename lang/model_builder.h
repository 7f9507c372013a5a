#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "build_limits.h"
#include "model_writer.h"
#include "scope.h"
#include "symbol_table.h"
#include "syntax.h"
#include "token.h"

namespace lang {

// Expands statements, in order, into model variables and equations: each
// range gives one instance per index value, every name must be declared
// before it is used, and semantic faults raise LangError.
class ModelBuilder {
  public:
    // `tokens` are those the statements were parsed from; they give each
    // equation its display text.
    ModelBuilder(const std::vector<Token>& tokens, const BuildLimits& limits)
        : tokens_(tokens), limits_(limits) {}

    void add(const Statement& statement);

    // The model file's JSON text.
    std::string model_json() const { return writer_.text(); }

    // Whether the model has defined a function `name` so far.
    bool defines_function(std::string_view name) const {
        return symbols_.find_function(name) != nullptr;
    }

    // The constants in the order declared, with their values.
    const std::vector<std::pair<std::string, double>>& constants() const {
        return symbols_.constants();
    }

  private:
    void add_constant(const ConstantStatement& constant);
    void add_array_constant(const ConstantStatement& constant);
    void add_variable(const VariableStatement& variable);
    // The equation that holds a parameter at its value.
    void add_specification(const VariableRecord& parameter, Position where, const Scope& scope);
    void add_equation(const EquationStatement& equation);
    void add_output(const OutputStatement& output);
    // Lowers an equation's residual and differentiates it into `record`.
    void differentiate(EquationRecord& record, Position where, const Scope& scope);
    // Raises LangError when the host already has an equation of that name;
    // `what` introduces the name in the message.
    void name_equation(const std::string& name, Position where, const Scope& scope,
                       const std::string& what);
    // Counts the instances of a statement before they are made; raises
    // LangError when the model would have too many.
    void count_instances_of(const std::vector<LoopRange>& ranges, Position where, Scope& scope);
    // Counts an equation's nodes into the model's; raises LangError beyond the limit.
    void count_nodes_of(const EquationRecord& record, Position where, const Scope& scope);

    const std::vector<Token>& tokens_;
    const BuildLimits& limits_;
    SymbolTable symbols_;
    ModelWriter writer_;
    // Equation names as the host sees them, upper-cased, with where each is given.
    std::unordered_map<std::string, Position> equation_names_;
    std::size_t equation_count_ = 0;
    std::int64_t instances_ = 0;
    std::int64_t nodes_ = 0;
};

}  // namespace lang
