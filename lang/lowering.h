#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scope.h"
#include "symbolic.h"
#include "syntax.h"

namespace lang {

// What an expression may use besides numbers, constants, indices and
// functions: nothing more, variables (and parameters), or these and outputs.
enum class Allowed { constants, variables, outputs };

// An expression as a tree on the plug-in's node kinds, with names resolved in
// `scope`: indices and constants become numbers, variables variable nodes,
// outputs their trees; calls of the six functions become function nodes,
// those of lowered_functions.h their forms, those the model defines their
// bodies with the arguments in place. a - b is a + (-1 * b), a / b is
// a * b^-1, -a is -1 * a, all simplified as algebra.h says. Undeclared names,
// and names that may not stand here, raise LangError.
Expr lower_expression(const Syntax& syntax, Scope& scope, Allowed allowed = Allowed::variables);

// A value that uses no variable and folds to a finite number; `what` names it
// in messages ("the initial value of T").
double constant_value(const Syntax& syntax, Scope& scope, const std::string& what);

// A constant value that must be a whole number, such as an index.
std::int64_t whole_value(const Syntax& syntax, Scope& scope, const std::string& what);

// The index values of `name` as the model file writes them: "[3]", "[3,2]".
std::string index_text(const std::string& name, const std::vector<Syntax>& indices, Scope& scope);

// The full symbol: `name` followed by its index text, if it has indices.
std::string symbol_of(const std::string& name, const std::vector<Syntax>& indices, Scope& scope);

}  // namespace lang
