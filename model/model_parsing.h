#pragma once

#include <memory>

#include "expr_node.h"
#include "json_document.h"
#include "variable_def.h"

// Build an expression tree or a variable record from its JSON value, reading
// members in the file format's order and raising the JSON library's exceptions
// for faults. Both work without recursion, so nesting depth is bounded only by
// memory. The caller owns the result.
std::unique_ptr<ExprNode> parse_expression(JsonDocument::Value value);
std::unique_ptr<VariableDef> parse_variable(JsonDocument::Value value);
