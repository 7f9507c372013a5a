#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct VariableDef;

// Node codes of an expression tree, as the model file gives them in "Type".
enum NodeCode : std::int32_t {
    NODE_SUM = 0,
    NODE_PRODUCT = 1,
    NODE_NUMBER = 2,
    NODE_NUMERIC_TEXT = 3,
    NODE_VARIABLE = 4,
    NODE_POWER = 5,
    NODE_FUNCTION = 6,
    NODE_UNRECOGNISED = 8,  // a code the loader does not know, or a node not read
};

// One node of an expression tree. An equation is the root node of its residual
// tree; the fields only roots use (names, entries, number) are on every node.
struct ExprNode {
    ExprNode();
    // Frees the subtree without recursion, so trees of any depth end safely.
    ~ExprNode();
    ExprNode(ExprNode&&) noexcept;
    ExprNode& operator=(ExprNode&&) = delete;
    ExprNode(const ExprNode&) = delete;
    ExprNode& operator=(const ExprNode&) = delete;

    std::string equation_name;
    std::string equation_string;
    std::int32_t type = NODE_UNRECOGNISED;
    std::vector<std::unique_ptr<ExprNode>> subexpressions;
    // On a root, one entry per Jacobian nonzero of the equation.
    std::vector<std::unique_ptr<VariableDef>> variables;
    std::string string_value;
    double double_value = -9999999.0;
    std::int32_t equation_number = -1;
};
