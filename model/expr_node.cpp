#include "expr_node.h"

#include <limits>
#include <stdexcept>

#include "variable_def.h"

namespace {

// Sizes are kept in 32 bits to keep nodes small; a larger one would wrap.
std::uint32_t checked_size(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("JSON value too large");
    }
    return static_cast<std::uint32_t>(size);
}

}  // namespace

ExprNode ExprNode::number(double value) {
    ExprNode node;
    node.type_ = NODE_NUMBER;
    node.number_ = value;
    return node;
}

ExprNode ExprNode::text(std::int32_t type, std::string_view text) {
    ExprNode node;
    node.type_ = type;
    node.text_ = text.data();
    node.text_size_ = checked_size(text.size());
    return node;
}

ExprNode ExprNode::parent(std::int32_t type, Span<const ExprNode> children, std::string_view name) {
    ExprNode node = text(type, name);
    node.children_ = children.begin();
    node.child_count_ = checked_size(children.size());
    return node;
}

std::string_view ExprNode::string_value() const {
    const bool has_text =
        type_ == NODE_NUMERIC_TEXT || type_ == NODE_VARIABLE || type_ == NODE_FUNCTION;
    return has_text ? std::string_view(text_, text_size_) : std::string_view();
}

std::string_view ExprNode::equation_name() const {
    return fields_ ? fields_->equation_name : std::string_view();
}

std::string_view ExprNode::equation_string() const {
    return fields_ ? fields_->equation_string : std::string_view();
}

Span<const VariableDef> ExprNode::variables() const {
    return fields_ ? Span<const VariableDef>(fields_->variables) : Span<const VariableDef>();
}

Span<VariableDef> ExprNode::variables() {
    return fields_ ? fields_->variables : Span<VariableDef>();
}
