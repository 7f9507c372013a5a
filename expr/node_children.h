#pragma once

#include <cstddef>

#include "expr_node.h"

// How many children of `node` are evaluated: all of a sum or product, the
// first two of a power, the first of a function with a name, none otherwise.
std::size_t children_evaluated(const ExprNode& node);

// The value of a node that evaluates no child and is not a number, a numeric
// text or a variable reference: an empty sum 0.0, an empty product 1.0, a
// power without children pow(0.0, 0.0), anything else 0.0.
double childless_value(const ExprNode& node);
