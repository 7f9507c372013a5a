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

struct OutputRecord {
    std::string symbol;
    std::string text;
    std::string description;  // empty: none
    Expr tree;
};

// Writes the model file as it is built, one record at a time, so that a
// large model is never held as one JSON tree. Each variable, equation,
// parameter and output takes one line of the file.
class ModelWriter {
  public:
    void add_variable(const VariableRecord& variable);
    void add_equation(const EquationRecord& equation);
    // A parameter's equation, which holds it at its value: the equations of
    // the parameters follow those written as equations, so that an equation
    // keeps its place (and its default name) whatever parameters there are.
    void add_specification(const EquationRecord& equation);
    void add_parameter(const std::string& symbol, const std::string& equation_name);
    void add_output(const OutputRecord& output);

    // The whole file: {"Variables":[...],"EquationList":[...]}, then the
    // language's members "Parameters" and "Outputs" when there are any
    // (language_members.h).
    std::string text() const;

  private:
    std::string variables_;
    std::string equations_;
    std::string specifications_;
    std::string parameters_;
    std::string outputs_;
};

}  // namespace lang
