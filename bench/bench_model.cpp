#include "bench_model.h"

namespace {

constexpr double LOG10_E = 0.4342944819032518;  // d/dx log10(x) = LOG10_E / x

Term number(double value) {
    Term term;
    term.type = 2;
    term.number = value;
    return term;
}

Term text(const std::string& value) {
    Term term;
    term.type = 3;
    term.text = value;
    return term;
}

Term x(int index) {
    Term term;
    term.type = 4;
    term.variable = index;
    return term;
}

Term node(int type, std::vector<Term> children, const std::string& name = "") {
    Term term;
    term.type = type;
    term.text = name;
    term.children = std::move(children);
    return term;
}

Term sum(std::vector<Term> children) {
    return node(0, std::move(children));
}
Term product(std::vector<Term> children) {
    return node(1, std::move(children));
}
Term power(Term base, Term exponent) {
    return node(5, {std::move(base), std::move(exponent)});
}
Term function(const std::string& name, Term argument) {
    return node(6, {std::move(argument)}, name);
}

}  // namespace

// r = x_i x_j - 3 x_k + "0.5" x_i + x_i^2 + ln x_j + log x_k + lg x_i
//     + abs(x_j - 1.5) + exp(0.1 x_k) + sqrt x_i - 4
BenchEquation bench_equation(int index, int count) {
    const int i = index;
    const int j = (index + 1) % count;
    const int k = (index + 7) % count;
    BenchEquation equation;
    equation.residual =
        sum({product({x(i), x(j)}), product({number(-3.0), x(k)}), product({text("0.5"), x(i)}),
             power(x(i), number(2.0)), function("ln", x(j)), function("log", x(k)),
             function("lg", x(i)), function("abs", sum({x(j), number(-1.5)})),
             function("exp", product({number(0.1), x(k)})), function("sqrt", x(i)), number(-4.0)});
    // d/dx_i = x_j + "0.5" + 2 x_i + LOG10_E / x_i + 0.5 x_i^-0.5
    const Term d_i = sum({x(j), text("0.5"), product({number(2.0), x(i)}),
                          product({number(LOG10_E), power(x(i), number(-1.0))}),
                          product({number(0.5), power(x(i), number(-0.5))})});
    // d/dx_j = x_i + 1 / x_j + (x_j - 1.5) / abs(x_j - 1.5)
    const Term d_j =
        sum({x(i), power(x(j), number(-1.0)),
             product({sum({x(j), number(-1.5)}),
                      power(function("abs", sum({x(j), number(-1.5)})), number(-1.0))})});
    // d/dx_k = -3 + LOG10_E / x_k + 0.1 exp(0.1 x_k)
    const Term d_k = sum({number(-3.0), product({number(LOG10_E), power(x(k), number(-1.0))}),
                          product({number(0.1), function("exp", product({number(0.1), x(k)}))})});
    equation.entry_variables = {i, j, k};
    equation.derivatives = {d_i, d_j, d_k};
    return equation;
}

double bench_value(int index) {
    return 1.0 + (index % 97) / 97.0 + 0.001;
}

std::int64_t term_nodes(const Term& term) {
    std::int64_t count = 1;
    for (const Term& child : term.children) {
        count += term_nodes(child);
    }
    return count;
}
