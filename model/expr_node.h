#pragma once

#include <cstdint>
#include <string_view>

#include "model_format.h"
#include "record_span.h"

struct VariableDef;

// What a node has of an equation: its name, its text and its entries (one per
// Jacobian nonzero, each with the partial derivative as its `differential`).
// Every node may carry them in the file; only equation roots use them. A node
// with fields keeps its own number or text here too (see ExprNode).
struct EquationFields {
    std::string_view equation_name;
    std::string_view equation_string;
    Span<VariableDef> variables;
    double number = 0.0;
    std::string_view text;
};

// One node of an expression tree; an equation is the root node of its
// residual tree. A node is a small fixed-size record of 32 bytes: its texts,
// children and equation fields live in the model's storage, which owns them
// all, so a model of 10^5 equations is a few large blocks rather than
// millions of allocations, and frees without walking its trees. The few nodes
// with equation fields (the roots) keep their number or text in the fields,
// whose pointer takes that place.
class ExprNode {
  public:
    // The value `double_value` reads on every node that is not a number.
    static constexpr double NO_NUMBER = -9999999.0;

    // A node the loader does not know (code 8), without children or entries.
    ExprNode() = default;
    static ExprNode number(double value);
    // A numeric-text or variable-reference node.
    static ExprNode text(std::int32_t type, std::string_view text);
    // A sum, product or power of `children`, or the function `name` of them.
    static ExprNode parent(std::int32_t type, Span<const ExprNode> children,
                           std::string_view name = {});

    std::int32_t type() const { return type_; }
    double double_value() const;
    // The numeric text, variable symbol or function name; empty on other nodes.
    std::string_view string_value() const;
    Span<const ExprNode> subexpressions() const { return {children_, child_count_}; }

    // The equation fields; empty on a node that has none.
    std::string_view equation_name() const;
    std::string_view equation_string() const;
    Span<const VariableDef> variables() const;
    Span<VariableDef> variables();
    // `fields` with this node's own number or text, to be kept and then set.
    EquationFields with_own_value(EquationFields fields) const;
    // `fields` must come from with_own_value of this node.
    void set_equation_fields(const EquationFields* fields);

    // The host's number of the equation; -1 until registration.
    std::int32_t equation_number() const { return equation_number_; }
    void set_equation_number(std::int32_t number) { equation_number_ = number; }

  private:
    // Codes that do not fit 16 bits are kept as NODE_UNRECOGNISED; the
    // loader keeps only 0 to 6 and 8.
    static std::int16_t kept_code(std::int32_t type);

    std::int16_t type_ = NODE_UNRECOGNISED;
    bool has_fields_ = false;
    std::uint32_t child_count_ = 0;
    union {
        double number_ = 0.0;           // NODE_NUMBER
        const char* text_;              // NODE_NUMERIC_TEXT, NODE_VARIABLE, NODE_FUNCTION
        const EquationFields* fields_;  // when has_fields_, on any node
    };
    std::uint32_t text_size_ = 0;
    std::int32_t equation_number_ = -1;
    const ExprNode* children_ = nullptr;
};
