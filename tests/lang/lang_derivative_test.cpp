// Every derivative tree agrees with central differences of its residual, as
// the plug-in evaluates both; where a function is not differentiable, the
// derivative takes the documented value.
#include <cmath>
#include <limits>

#include "lang_support.h"

namespace {

struct Point {
    double a;
    double b;
};

struct Differentiated {
    std::string residual;  // of a and b
    std::vector<Point> points;
};

void PrintTo(const Differentiated& differentiated, std::ostream* out) {
    *out << differentiated.residual;
}

class lang_derivative_differences : public testing::TestWithParam<Differentiated> {};

// The central difference of E in `symbol` at the model's current values.
double central_difference(LoadedModel& model, const std::string& symbol, double at) {
    const double step = 1e-6 * std::max(1.0, std::fabs(at));
    model.set(symbol, at + step);
    const double above = model.value(model.equation("E"));
    model.set(symbol, at - step);
    const double below = model.value(model.equation("E"));
    model.set(symbol, at);
    return (above - below) / (2 * step);
}

TEST_P(lang_derivative_differences, agree) {
    auto model = build_and_load("var a\nvar b\neq E: " + GetParam().residual + " = 0");
    const ExprNode& equation = model->equation("E");
    for (const Point& point : GetParam().points) {
        model->set("a", point.a);
        model->set("b", point.b);
        for (const std::string& symbol : entry_symbols(equation)) {
            const double at = symbol == "a" ? point.a : point.b;
            const double expected = central_difference(*model, symbol, at);
            const double derivative = model->value(derivative_of(equation, symbol));
            EXPECT_NEAR(derivative, expected, 1e-6 * std::max(1.0, std::fabs(expected)))
                << "d/d " << symbol << " at a = " << point.a << ", b = " << point.b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    lang_derivative, lang_derivative_differences,
    testing::Values(Differentiated{"ln(a*b)", {{0.5, 3}, {7, 0.1}}},
                    Differentiated{"log(a + b^2)", {{0.5, 3}, {7, -0.1}}},
                    Differentiated{"lg(a/b)", {{0.5, 3}, {7, 0.1}}},
                    Differentiated{"abs(a - b)", {{0.5, 3}, {7, 0.1}}},
                    Differentiated{"exp(-a^2/b)", {{0.5, 3}, {1.5, 0.7}}},
                    Differentiated{"sqrt(a*b + 1)", {{0.5, 3}, {7, 0.1}}},
                    Differentiated{"a^b", {{0.5, 3}, {7, -0.4}, {2, 0}}},
                    Differentiated{"a^a", {{0.5, 0}, {3, 0}}},
                    Differentiated{"(a*b)^(a - b)", {{0.5, 3}, {2, 1.5}}},
                    Differentiated{"a^b^2", {{1.5, 1.2}, {0.8, -0.5}}},
                    Differentiated{"2^(a*b) + b^-3", {{0.5, 3}, {-1, 0.7}}},
                    Differentiated{"exp(a)^ln(b)", {{0.5, 3}, {-1, 0.7}}},
                    Differentiated{"a^3 - 4*a*b/(a + b) + 7", {{0.5, 3}, {-1, 0.7}}},
                    Differentiated{"sqrt(abs(ln(a)))*exp(b)", {{0.5, 3}, {3, -1}}},
                    Differentiated{"sum(a^k*b/k for k in 1..4)", {{0.5, 3}, {-1.2, 0.7}}},
                    // The functions lowered to the six, and products of a
                    // term with a power of its absolute value.
                    Differentiated{"tanh(a*b)", {{0.5, 3}, {-0.2, 0.7}}},
                    Differentiated{"sinh(a - b) + cosh(a/b)", {{0.5, 3}, {-1.2, 0.7}}},
                    Differentiated{"max(a, b^2) - min(a*b, 1, b)", {{0.5, 3}, {-1.2, 0.7}}},
                    Differentiated{"(a - b)*abs(a - b)^0.852", {{0.5, 3}, {7, 0.1}}},
                    Differentiated{"3*abs(a)*b*a", {{-0.5, 3}, {2, -0.25}}}),
    NamedBy<&Differentiated::residual>());

struct Kink {
    std::string residual;  // of a alone
    double a;
    double derivative;  // d/d a there; NaN: not a number
};

void PrintTo(const Kink& kink, std::ostream* out) {
    *out << kink.residual << " at " << kink.a;
}

class lang_derivative_kinks : public testing::TestWithParam<Kink> {};

TEST_P(lang_derivative_kinks, take_the_documented_value) {
    auto model = build_and_load("var a\neq E: " + GetParam().residual + " = 0");
    model->set("a", GetParam().a);
    const double derivative = model->value(derivative_of(model->equation("E"), "a"));
    if (std::isnan(GetParam().derivative)) {
        EXPECT_TRUE(std::isnan(derivative)) << derivative;
    } else {
        EXPECT_EQ(derivative, GetParam().derivative);
    }
}

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    lang_derivative, lang_derivative_kinks,
    testing::Values(
        // abs: the sign of its argument, 0 where that is 0.
        Kink{"abs(a)", 0, 0}, Kink{"abs(a)", -0.0, 0}, Kink{"abs(a)", 1e-300, 1},
        Kink{"abs(a)", -1e-300, -1}, Kink{"abs(a)", -3, -1}, Kink{"abs(2*a - 2)", 1, 0},
        Kink{"abs(2*a - 2)", 0, -2},
        // sqrt: infinite at 0, not a number where the plug-in holds sqrt at 0.
        Kink{"sqrt(a)", 0, infinity}, Kink{"sqrt(a)", -1, nan}, Kink{"sqrt(a)", 4, 0.25},
        // Powers: a constant exponent differentiates at any base; a variable
        // one needs a positive base.
        Kink{"a^2", 0, 0}, Kink{"a^3", -2, 12}, Kink{"a^0.5", 0, infinity}, Kink{"a^a", 1, 1},
        Kink{"a^a", -1, nan}, Kink{"2^a", 0, std::log(2.0)},
        // A term times a power of its own absolute value, abs(u)^p*u,
        // differentiates to (1 + p)*abs(u)^p*u': finite where u is 0.
        Kink{"a*abs(a)^0.852", 0, 0}, Kink{"abs(a)^0.852*a", -1, 1 + 0.852},
        Kink{"260*(a - 2)*abs(a - 2)^0.5", 2, 0}, Kink{"a*abs(a)", 0, 0}, Kink{"abs(a)*a", -3, 6},
        Kink{"a*abs(a)^-0.5", 0, infinity},
        // The lowered functions, where they are not differentiable or their
        // pieces meet.
        Kink{"tanh(a)", 0, 1}, Kink{"tanh(a)", -800, 0}, Kink{"max(a, 0)", 0, 0.5},
        Kink{"min(a, 1)", 1, 0.5}, Kink{"sinh(a)", 0, 1}, Kink{"cosh(a)", 0, 0}),
    [](const testing::TestParamInfo<Kink>& kink) {
        return case_name(kink.index, kink.param.residual);
    });

}  // namespace
