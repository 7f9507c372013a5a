#pragma once

// Small models the tool's tests share, stated as trees.

#include <string>
#include <vector>

#include "model_json.h"

namespace tool_models {

using namespace model_json;

// SUM: x + y - 3 = 0 and DIFF: x - y - 1 = 0, solved by x = 2, y = 1. The
// entries of SUM list y before x, so the pattern's order is the file's.
inline std::string linear_pair() {
    return model_text(
        {equation("sum", sum({reference("x"), reference("y"), number(-3)}),
                  {entry("y", number(1)), entry("x", number(1))}),
         equation("diff", sum({reference("x"), product({number(-1), reference("y")}), number(-1)}),
                  {entry("x", number(1)), entry("y", number(-1))})},
        {variable("x", {0.5, {}, {}}), variable("y", {{}, -10.0, 10.0})});
}

// One equation, x + y - 3 = 0, in two variables: one degree of freedom.
inline std::string one_equation_two_variables() {
    return model_text({equation("sum", sum({reference("x"), reference("y"), number(-3)}),
                                {entry("x", number(1)), entry("y", number(1))})},
                      {variable("x"), variable("y")});
}

// x^2 + c = 0 with its exact derivative 2 x, starting at `start`.
inline std::string square_plus(double c, double start) {
    return model_text({equation("sq", sum({power(reference("x"), number(2)), number(c)}),
                                {entry("x", product({number(2), reference("x")}))})},
                      {variable("x", {start, {}, {}})});
}

// x^2 - 4 = 0 whose derivative is written wrongly as x, starting at `start`.
inline std::string wrong_square_derivative(double start) {
    return model_text({equation("sq", sum({power(reference("x"), number(2)), number(-4)}),
                                {entry("x", reference("x"))})},
                      {variable("x", {start, {}, {}})});
}

// ln x = 0 with its exact derivative 1 / x.
inline std::string log_x(const Values& x) {
    return model_text({equation("log", function("ln", reference("x")),
                                {entry("x", power(reference("x"), number(-1)))})},
                      {variable("x", x)});
}

// sqrt(x) - 1 = 0 with its exact derivative, which is infinite at the start 0.
inline std::string root_at_zero() {
    return model_text(
        {equation("root", sum({function("sqrt", reference("x")), number(-1)}),
                  {entry("x", product({number(0.5), power(reference("x"), number(-0.5))}))})},
        {variable("x", {0.0, 0.0, 4.0})});
}

// A: x - 1 = 0 and B: x - 2 = 0, in x and y: structurally singular.
inline std::string two_equations_in_x() {
    return model_text({equation("a", sum({reference("x"), number(-1)}), {entry("x", number(1))}),
                       equation("b", sum({reference("x"), number(-2)}), {entry("x", number(1))})},
                      {variable("x"), variable("y")});
}

// x - 1 = 0 whose constant is `constant`, a node the test chooses.
inline std::string x_minus(json constant) {
    return model_text({equation("e", sum({reference("x"), product({number(-1), constant})}),
                                {entry("x", number(1))})},
                      {variable("x", {0.0, {}, {}})});
}

// The arguments of `quillon solve PATH --format json` followed by `extra`.
inline std::vector<std::string> solve_json(const std::string& path,
                                           std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{"solve", path, "--format", "json"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

}  // namespace tool_models
