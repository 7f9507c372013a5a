#include "node_children.h"

#include <cmath>

std::size_t children_evaluated(const ExprNode& node) {
    const std::size_t count = node.subexpressions().size();
    switch (node.type()) {
        case NODE_SUM:
        case NODE_PRODUCT:
            return count;
        case NODE_POWER:
            return count < 2 ? count : 2;
        case NODE_FUNCTION:
            return node.string_value().empty() || count == 0 ? 0 : 1;
        default:
            return 0;
    }
}

double childless_value(const ExprNode& node) {
    switch (node.type()) {
        case NODE_PRODUCT:
            return 1.0;
        case NODE_POWER:
            return std::pow(0.0, 0.0);
        default:
            // Empty sums, unrecognised codes, functions without a name or an
            // argument.
            return 0.0;
    }
}
