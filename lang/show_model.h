#pragma once

#include <string>

#include "expr_node.h"
#include "tree_printer.h"
#include "variable_def.h"

namespace lang {

// var SYMBOL = INITIAL in [MIN, MAX] "NAME", leaving out what the file does not give.
void show_variable(const VariableDef& variable, std::string& out);

// eq NAME: RESIDUAL = 0, then one comment line per entry with its derivative:
//   # d/d SYMBOL = TREE
void show_equation_lines(const ExprNode& equation, std::string& out, Showing showing);

}  // namespace lang
