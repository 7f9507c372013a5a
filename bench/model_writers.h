#pragma once

#include <ostream>
#include <string>
#include <vector>

// The bench model of `count` equations in the three forms the bench runs.

// The model file: equations E0.., variables x0.. starting at bench_value.
void write_model_file(std::ostream& out, int count);

// C++ with the walk's operations in the walk's order, split into functions of
// `per_function` equations: extern "C" bench_residuals(x, r) writes r[i] and
// bench_jacobian(x, j) writes the nonzeros in the model's order.
void write_native_source(std::ostream& out, int count, int per_function);

// Muparser formulas: every residual, then every derivative in the model's
// order; variable x_i is written "x<i>".
std::vector<std::string> muparser_formulas(int count);
