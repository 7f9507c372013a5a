#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "expr_node.h"
#include "tree_printer.h"
#include "variable_def.h"

namespace lang {

// var SYMBOL = INITIAL in [MIN, MAX] "NAME", leaving out what the file does not give.
void show_variable(const VariableDef& variable, std::string& out);

// param SYMBOL = VALUE in [MIN, MAX] "NAME".
void show_parameter(const VariableDef& parameter, double value, std::string& out);

// out SYMBOL = TREE "NAME", of an output's root (its symbol the root's name).
void show_output(const ExprNode& output, const std::string& description, std::string& out,
                 Showing showing);

// The value that `equation` holds the variable `symbol` at, when it is the
// equation the language writes for a parameter, SYMBOL - VALUE = 0.
std::optional<double> specified_value(const ExprNode& equation, std::string_view symbol);

// eq NAME: RESIDUAL = 0, then one comment line per entry with its derivative:
//   # d/d SYMBOL = TREE
void show_equation_lines(const ExprNode& equation, std::string& out, Showing showing);

}  // namespace lang
