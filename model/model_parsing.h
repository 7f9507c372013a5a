#pragma once

#include <memory>

#include <nlohmann/json.hpp>

#include "expr_node.h"
#include "variable_def.h"

// Build an expression tree or a variable record from its JSON value, reading
// members in the file format's order and raising the JSON library's exceptions
// for faults. Both work without recursion, so nesting depth is bounded only by
// memory. The caller owns the result.
std::unique_ptr<ExprNode> parse_expression(const nlohmann::json& value);
std::unique_ptr<VariableDef> parse_variable(const nlohmann::json& value);
