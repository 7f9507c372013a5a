#pragma once

// Expression trees and model variables made by hand, kept in a model's
// storage as the loader keeps them, for tests that state trees directly
// rather than through a model file. The codes are the file's, so a test can
// make any node, unrecognised codes included.

#include <cstdint>
#include <string_view>
#include <vector>

#include "model_definition.h"

class TreeBuilder {
  public:
    explicit TreeBuilder(ModelDefinition& model) : model_(model) {}

    ExprNode number(double value) const { return ExprNode::number(value); }

    // A numeric text (code 3) or a variable reference (code 4).
    ExprNode text(std::int32_t type, std::string_view text) const {
        return ExprNode::text(type, model_.storage().keep_text(text));
    }

    // A node of code `type` over `children`; `name` is a function's name.
    ExprNode parent(std::int32_t type, const std::vector<ExprNode>& children,
                    std::string_view name = {}) const {
        ModelStorage& storage = model_.storage();
        return ExprNode::parent(type, storage.keep_nodes(children.data(), children.size()),
                                storage.keep_text(name));
    }

    // Appends the model variable `symbol`, numbered `number` as registration
    // would number it.
    void variable(std::string_view symbol, std::int32_t number) const {
        VariableDef variable;
        variable.variable_symbol = model_.storage().keep_text(symbol);
        variable.variable_number = number;
        model_.append_variable(variable);
    }

  private:
    ModelDefinition& model_;
};
