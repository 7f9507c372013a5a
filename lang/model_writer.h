#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "derivative.h"
#include "symbolic.h"

namespace lang {

struct VariableRecord {
    std::string symbol;
    std::string description;  // empty: none
    std::optional<double> initial;
    std::optional<double> lower;
    std::optional<double> upper;
};

struct EquationRecord {
    std::string name;
    std::string text;
    Expr residual;
    // The variables the residual uses, in order of first appearance, and
    // their nonzero partial derivatives by position in that order.
    std::vector<std::string_view> variables;
    std::vector<Partial> partials;
};

// Writes the model file as it is built, one equation at a time, so that a
// large model is never held as one JSON tree. Each variable and equation
// takes one line of the file.
class ModelWriter {
  public:
    void add_variable(const VariableRecord& variable);
    void add_equation(const EquationRecord& equation);

    // The whole file: {"Variables":[...],"EquationList":[...]}.
    std::string text() const;

  private:
    std::string variables_;
    std::string equations_;
};

}  // namespace lang
