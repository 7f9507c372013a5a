#pragma once

#include <ostream>
#include <string>
#include <vector>

// The bench model of `count` equations in the three forms the bench runs.

// The model file: equations E0.., variables x0.. starting at bench_value.
void write_model_file(std::ostream& out, int count);

// C++ with the walk's operations in the walk's order, in functions of
// `per_function` equations (r<first> for residuals, j<first> for the
// Jacobian), so the compiler's time and memory stay linear in the size. A
// part holds the functions of equations first..last-1 (first a multiple of
// per_function); the entries, extern "C" bench_residuals(x, r) writing r[i]
// and bench_jacobian(x, j) writing the nonzeros in the model's order, call
// them all.
void write_native_part(std::ostream& out, int count, int first, int last, int per_function);
void write_native_entries(std::ostream& out, int count, int per_function);

// Muparser formulas: every residual, then every derivative in the model's
// order; variable x_i is written "x<i>".
std::vector<std::string> muparser_formulas(int count);
