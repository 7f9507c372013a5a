#pragma once

#include <string>
#include <vector>

#include "functions.h"

namespace lang {

// A residual or derivative tree on the plug-in's node kinds. Numbers are
// always number nodes: numeric text, read in single precision, is never made.
struct Expr {
    enum class Kind { sum, product, number, variable, power, function };

    Kind kind = Kind::number;
    double number = 0.0;
    Function function = Function::ln;
    std::string symbol;  // of a variable
    // Terms of a sum, factors of a product, base and exponent of a power, the
    // argument of a function.
    std::vector<Expr> children;
};

inline bool is_number(const Expr& expr, double value) {
    return expr.kind == Expr::Kind::number && expr.number == value;
}

}  // namespace lang
