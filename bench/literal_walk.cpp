#include "literal_walk.h"

#include <cmath>
#include <string>
#include <string_view>

#include "function_table.h"
#include "numeric_text.h"
#include "ordered_arithmetic.h"

namespace {

const VariableDef* scan_for(std::string_view symbol, const ModelDefinition& model) {
    for (const auto& variable : model.variables()) {
        if (variable.variable_symbol == symbol) {
            return &variable;
        }
    }
    return nullptr;
}

double child_or_zero(const ExprNode& node, std::size_t index, const ModelDefinition& model,
                     const double* values) {
    return index < node.subexpressions().size()
               ? literal_value(node.subexpressions()[index], model, values)
               : 0.0;
}

}  // namespace

double literal_value(const ExprNode& node, const ModelDefinition& model, const double* values) {
    switch (node.type()) {
        case NODE_SUM: {
            double sum = 0.0;
            for (const auto& child : node.subexpressions()) {
                sum = sum_step(sum, literal_value(child, model, values));
            }
            return sum;
        }
        case NODE_PRODUCT: {
            double product = 1.0;
            for (const auto& child : node.subexpressions()) {
                product = product_step(product, literal_value(child, model, values));
            }
            return product;
        }
        case NODE_NUMBER:
            return node.double_value();
        case NODE_NUMERIC_TEXT:
            return numeric_text_value(std::string(node.string_value()));
        case NODE_VARIABLE: {
            const VariableDef* variable = scan_for(node.string_value(), model);
            return variable ? values[variable->variable_number - 1] : 0.0;
        }
        case NODE_POWER: {
            const double base = child_or_zero(node, 0, model, values);
            return std::pow(base, child_or_zero(node, 1, model, values));
        }
        case NODE_FUNCTION:
            if (node.subexpressions().empty() || node.string_value().empty()) {
                return 0.0;
            }
            return function_value(node.string_value(),
                                  literal_value(node.subexpressions()[0], model, values));
        default:
            return 0.0;
    }
}
