#pragma once

#include <cstddef>
#include <vector>

#include "expr_node.h"
#include "model_definition.h"
#include "one_based_values.h"

// Evaluates expression trees of one model against the host's variable values,
// walking each tree afresh. The walk keeps its own stack, so a tree of any
// depth evaluates without deep recursion; the stack's memory is kept between
// calls. Numeric-text faults raise std::invalid_argument or std::out_of_range
// (see numeric_text.h) and change nothing.
class ExpressionEvaluator {
  public:
    explicit ExpressionEvaluator(const ModelDefinition& model) : model_(model) {}

    double evaluate(OneBasedValues values, const ExprNode& node);

  private:
    // A node whose children are being evaluated.
    struct Pending {
        const ExprNode* node;
        std::size_t next_child;
        double accumulator;  // sum, product, power base or function argument
        double exponent;
    };

    bool descend(Pending& pending);
    double leaf_value(OneBasedValues values, const ExprNode& node) const;
    static double finish(const Pending& pending);
    static void take_child_value(Pending& parent, double value);

    const ModelDefinition& model_;
    std::vector<Pending> stack_;
};

// One evaluation with a fresh evaluator.
double evaluate_expression(OneBasedValues values, const ExprNode& node,
                           const ModelDefinition& model);
