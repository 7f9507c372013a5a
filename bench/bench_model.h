#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The scalable bench model: n equations in n variables x0..x(n-1). Equation
// i reads x_i, x_(i+1) and x_(i+7) (indices modulo n) and uses every node kind
// and all six functions; its three entries carry the exact partial
// derivatives. One description, written out as a model file, as C++ and as
// muparser formulas, so the three evaluate the same arithmetic.
struct Term {
    int type = 0;  // the model file's node codes
    double number = 0.0;
    std::string text;  // numeric text, or function name
    int variable = 0;  // index of x for a variable reference
    std::vector<Term> children;
};

struct BenchEquation {
    Term residual;
    std::vector<int> entry_variables;
    std::vector<Term> derivatives;  // one per entry
};

// Equation `index` of a model of `count` equations, count at least 8 (so the
// three variables are distinct).
BenchEquation bench_equation(int index, int count);

// The value the bench starts variable x_index at: between 1 and 2, so that
// every function is defined and abs sees both signs.
double bench_value(int index);

// Nodes of a term, itself included.
std::int64_t term_nodes(const Term& term);
