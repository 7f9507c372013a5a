#include "evaluate_expression.h"

#include <cmath>
#include <string>

#include "function_table.h"
#include "node_children.h"
#include "numeric_text.h"
#include "ordered_arithmetic.h"

namespace {

bool has_children_to_evaluate(const ExprNode& node) {
    return children_evaluated(node) > 0;
}

}  // namespace

double ExpressionEvaluator::leaf_value(OneBasedValues values, const ExprNode& node) const {
    switch (node.type()) {
        case NODE_NUMBER:
            return node.double_value();
        case NODE_NUMERIC_TEXT:
            return numeric_text_value(std::string(node.string_value()));
        case NODE_VARIABLE: {
            const VariableDef* variable = model_.find_variable(node.string_value());
            return variable ? values[variable->variable_number] : 0.0;
        }
        default:
            return childless_value(node);
    }
}

double ExpressionEvaluator::finish(const Pending& pending) {
    switch (pending.node->type()) {
        case NODE_POWER:
            return std::pow(pending.accumulator, pending.exponent);
        case NODE_FUNCTION:
            return function_value(pending.node->string_value(), pending.accumulator);
        default:
            return pending.accumulator;
    }
}

void ExpressionEvaluator::take_child_value(Pending& parent, double value) {
    const std::size_t index = parent.next_child - 1;
    switch (parent.node->type()) {
        case NODE_SUM:
            parent.accumulator = sum_step(parent.accumulator, value);
            break;
        case NODE_PRODUCT:
            parent.accumulator = product_step(parent.accumulator, value);
            break;
        case NODE_POWER:
            (index == 0 ? parent.accumulator : parent.exponent) = value;
            break;
        default:  // the function's argument
            parent.accumulator = value;
            break;
    }
}

double ExpressionEvaluator::evaluate(OneBasedValues values, const ExprNode& root) {
    stack_.clear();
    const ExprNode* node = &root;
    for (;;) {
        // Go down to the first node that has no child left to evaluate.
        while (has_children_to_evaluate(*node)) {
            const double start = node->type() == NODE_PRODUCT ? 1.0 : 0.0;
            stack_.push_back(Pending{node, 1, start, 0.0});
            node = &node->subexpressions().front();
        }
        double value = leaf_value(values, *node);
        // Hand the value up until a node has another child to evaluate.
        for (;;) {
            if (stack_.empty()) {
                return value;
            }
            Pending& parent = stack_.back();
            take_child_value(parent, value);
            if (parent.next_child < children_evaluated(*parent.node)) {
                node = &parent.node->subexpressions()[parent.next_child++];
                break;
            }
            value = finish(parent);
            stack_.pop_back();
        }
    }
}

double evaluate_expression(OneBasedValues values, const ExprNode& node,
                           const ModelDefinition& model) {
    return ExpressionEvaluator(model).evaluate(values, node);
}
