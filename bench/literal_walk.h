#pragma once

#include "expr_node.h"
#include "model_definition.h"

// The design's literal evaluator, kept here only as the bench's baseline: it
// recurses over the tree, finds each referenced variable by a linear scan of
// the model's variables comparing texts, and converts each numeric text at
// every evaluation. `values` is the host's vector (element number - 1).
double literal_value(const ExprNode& node, const ModelDefinition& model, const double* values);
