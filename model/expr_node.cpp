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

static_assert(sizeof(ExprNode) == 32, "a node is 32 bytes: millions of them make a model");

std::int16_t ExprNode::kept_code(std::int32_t type) {
    const bool fits = type >= std::numeric_limits<std::int16_t>::min() &&
                      type <= std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(fits ? type : NODE_UNRECOGNISED);
}

ExprNode ExprNode::number(double value) {
    ExprNode node;
    node.type_ = NODE_NUMBER;
    node.number_ = value;
    return node;
}

ExprNode ExprNode::text(std::int32_t type, std::string_view text) {
    ExprNode node;
    node.type_ = kept_code(type);
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

double ExprNode::double_value() const {
    if (type_ != NODE_NUMBER) {
        return NO_NUMBER;
    }
    return has_fields_ ? fields_->number : number_;
}

std::string_view ExprNode::string_value() const {
    const bool has_text =
        type_ == NODE_NUMERIC_TEXT || type_ == NODE_VARIABLE || type_ == NODE_FUNCTION;
    if (!has_text) {
        return {};
    }
    return has_fields_ ? fields_->text : std::string_view(text_, text_size_);
}

std::string_view ExprNode::equation_name() const {
    return has_fields_ ? fields_->equation_name : std::string_view();
}

std::string_view ExprNode::equation_string() const {
    return has_fields_ ? fields_->equation_string : std::string_view();
}

Span<const VariableDef> ExprNode::variables() const {
    return has_fields_ ? Span<const VariableDef>(fields_->variables) : Span<const VariableDef>();
}

Span<VariableDef> ExprNode::variables() {
    return has_fields_ ? fields_->variables : Span<VariableDef>();
}

EquationFields ExprNode::with_own_value(EquationFields fields) const {
    // Only what double_value and string_value read.
    if (type_ == NODE_NUMBER) {
        fields.number = double_value();
    } else {
        fields.text = string_value();
    }
    return fields;
}

void ExprNode::set_equation_fields(const EquationFields* fields) {
    fields_ = fields;
    has_fields_ = true;
}
