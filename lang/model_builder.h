#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

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
    explicit ModelBuilder(const std::vector<Token>& tokens) : tokens_(tokens) {}

    void add(const Statement& statement);

    // The model file's JSON text.
    std::string model_json() const { return writer_.text(); }

  private:
    void add_constant(const ConstantStatement& constant);
    void add_variable(const VariableStatement& variable);
    void add_equation(const EquationStatement& equation);
    // Raises LangError when the host already has an equation of that name;
    // `what` introduces the name in the message.
    void name_equation(const std::string& name, Position where, const Scope& scope,
                       const std::string& what);

    const std::vector<Token>& tokens_;
    SymbolTable symbols_;
    ModelWriter writer_;
    // Equation names as the host sees them, upper-cased, with where each is given.
    std::unordered_map<std::string, Position> equation_names_;
    std::size_t equation_count_ = 0;
};

}  // namespace lang
