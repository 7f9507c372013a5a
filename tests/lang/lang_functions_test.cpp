// The functions lowered to the six of the model file, against the C library
// over their ranges, overflowing only where the function does; and the
// functions a model defines with def, expanded where they are called.
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

#include "lang_support.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// The residual of `expression` (of x and y) built and evaluated at (x, y),
// and its derivative in x.
struct Evaluated {
    double value;
    double derivative;
};

class Lowered {
  public:
    explicit Lowered(const std::string& expression)
        : model_(build_and_load("var x\nvar y\neq E: " + expression + " = 0")) {}

    Evaluated at(double x, double y = 0) {
        model_->set("x", x);
        if (has("y")) {
            model_->set("y", y);
        }
        const ExprNode& equation = model_->equation("E");
        return {model_->value(equation),
                has("x") ? model_->value(derivative_of(equation, "x")) : 0.0};
    }

  private:
    bool has(const std::string& symbol) const {
        const auto symbols = entry_symbols(model_->equation("E"));
        return std::find(symbols.begin(), symbols.end(), symbol) != symbols.end();
    }

    std::unique_ptr<LoadedModel> model_;
};

struct OneArgument {
    const char* name;
    double (*value)(double);
    double (*derivative)(double);
    // The error allowed, in units of DBL_EPSILON times this scale at x:
    // relative where the function is large, absolute near its zero (no
    // expm1 among the six, so sinh and tanh are accurate to about 1e-16
    // there, not relative to their value).
    double (*scale)(double);
};

double tanh_derivative(double x) {
    const double t = std::tanh(x);
    return 1 - t * t;
}

const OneArgument one_argument[] = {
    {"tanh", [](double x) { return std::tanh(x); }, tanh_derivative, [](double) { return 1.0; }},
    {"sinh", [](double x) { return std::sinh(x); }, [](double x) { return std::cosh(x); },
     [](double x) { return std::cosh(x); }},
    {"cosh", [](double x) { return std::cosh(x); }, [](double x) { return std::sinh(x); },
     [](double x) { return std::cosh(x); }},
};

// From -750 to 750: both sides of where exp(x) overflows (709.78) and where
// sinh and cosh do (710.48), and small arguments.
std::vector<double> arguments() {
    std::vector<double> xs{0.0,   -0.0,  1e-300,  -1e-12, 3e-9,  0.25,  -0.7,
                           1,     -2.5,  19.0625, 20.5,   -37.9, 88.7,  -354.8,
                           709.5, 709.9, 710.3,   -710.3, 710.6, 745.0, -750};
    for (double x = -30; x <= 30; x += 0.37) {
        xs.push_back(x);
    }
    return xs;
}

TEST(lang_functions, one_argument_functions_agree_with_the_c_library) {
    for (const OneArgument& function : one_argument) {
        Lowered lowered(std::string(function.name) + "(x)");
        for (const double x : arguments()) {
            const Evaluated got = lowered.at(x);
            const double value = function.value(x);
            const double derivative = function.derivative(x);
            if (std::isinf(value)) {
                EXPECT_EQ(got.value, value) << function.name << "(" << x << ")";
            } else {
                EXPECT_NEAR(got.value, value, 4 * DBL_EPSILON * function.scale(x))
                    << function.name << "(" << x << ")";
            }
            if (std::isinf(derivative)) {
                EXPECT_EQ(got.derivative, derivative) << function.name << "'(" << x << ")";
            } else {
                EXPECT_NEAR(got.derivative, derivative, 8 * DBL_EPSILON * function.scale(x))
                    << function.name << "'(" << x << ")";
            }
        }
    }
}

TEST(lang_functions, tanh_is_odd_bit_for_bit) {
    Lowered lowered("tanh(x)");
    for (const double x : arguments()) {
        EXPECT_EQ(lowered.at(-x).value, -lowered.at(x).value) << x;
    }
}

TEST(lang_functions, min_and_max_agree_with_the_c_library) {
    const double big = DBL_MAX / 2;
    const std::pair<double, double> pairs[] = {{1, 2},
                                               {2, 1},
                                               {-3, 3},
                                               {0.1, 0.2},
                                               {1e300, -1e300},
                                               {DBL_MAX, DBL_MAX},
                                               {-DBL_MAX, DBL_MAX},
                                               {big, -big},
                                               {1e-300, 0},
                                               {5, 5},
                                               {-7.25, -7.5},
                                               {1, 1e-20}};
    Lowered largest("max(x, y)");
    Lowered smallest("min(x, y)");
    for (const auto& [x, y] : pairs) {
        const double scale = std::max(std::fabs(x), std::fabs(y));
        EXPECT_NEAR(largest.at(x, y).value, std::fmax(x, y), 2 * DBL_EPSILON * scale)
            << "max(" << x << ", " << y << ")";
        EXPECT_NEAR(smallest.at(x, y).value, std::fmin(x, y), 2 * DBL_EPSILON * scale)
            << "min(" << x << ", " << y << ")";
        // The slope is that of the larger (smaller) argument, the mean of
        // both where they are equal.
        const double slope = x > y ? 1 : x < y ? 0 : 0.5;
        EXPECT_EQ(largest.at(x, y).derivative, slope) << x << ", " << y;
        EXPECT_EQ(smallest.at(x, y).derivative, 1 - slope) << x << ", " << y;
    }
}

TEST(lang_functions, min_and_max_take_any_number_of_arguments) {
    Lowered largest("max(x, y, 2, -1, x/2)");
    Lowered smallest("min(3, x, y)");
    EXPECT_EQ(largest.at(1, 0).value, 2);
    EXPECT_EQ(largest.at(7, 3).value, 7);
    EXPECT_EQ(largest.at(-9, 4.5).value, 4.5);
    EXPECT_EQ(smallest.at(1, 0).value, 0);
    EXPECT_EQ(smallest.at(5, 4).value, 3);
}

TEST(lang_functions, constant_arguments_fold) {
    const std::string built =
        lang::build_model_json("var x\neq E: x = tanh(1) + max(2, 3) + cosh(0)", "t");
    EXPECT_EQ(trees(built)["EquationList"][0]["SubExpressions"][1]["Type"], 2) << built;
}

struct Defined {
    std::string text;  // definitions, then an equation E of x
    double x;
    double value;       // of E's residual at x
    double derivative;  // d/d x
};

void PrintTo(const Defined& defined, std::ostream* out) {
    *out << defined.text;
}

class lang_functions_defined : public testing::TestWithParam<Defined> {};

TEST_P(lang_functions_defined, expand_where_called) {
    auto model = build_and_load("var x\n" + GetParam().text);
    model->set("x", GetParam().x);
    const ExprNode& equation = model->equation("E");
    EXPECT_DOUBLE_EQ(model->value(equation), GetParam().value);
    EXPECT_DOUBLE_EQ(model->value(derivative_of(equation, "x")), GetParam().derivative);
}

INSTANTIATE_TEST_SUITE_P(
    lang_functions, lang_functions_defined,
    testing::Values(
        Defined{"def sq(u) = u*u\neq E: sq(x + 1) = 0", 2, 9, 6},
        Defined{"def f(a, b) = a - 2*b\neq E: f(x, 3) + f(1, x) = 0", 4, 4 - 6 + 1 - 8, -1},
        // A function may call one defined before it, and use constants and
        // indices of its own sums.
        Defined{"const k = 10\ndef g(u) = k*u\ndef h(u) = g(u) + sum(u^j for j in 1..2)\n"
                "eq E: h(x) = 0",
                2, 20 + 2 + 4, 10 + 1 + 4},
        // Its body sees its arguments, not the indices of the statement that
        // calls it.
        Defined{"def p(i) = i*x\nvar z[i] for i in 1..2\neq E: sum(p(i + 10) for i in 1..2) = 0", 3,
                11 * 3 + 12 * 3, 23},
        // An argument may index a family.
        Defined{"const c[i] = i^2 for i in 1..3\ndef cx(i) = c[i]*x\neq E: cx(3) = 0", 2, 18, 9}),
    [](const testing::TestParamInfo<Defined>& defined) {
        return case_name(defined.index, defined.param.text);
    });

class lang_functions_faults : public testing::TestWithParam<Fault> {};

TEST_P(lang_functions_faults, say_where_and_what) {
    expect_fault(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    lang_functions, lang_functions_faults,
    testing::Values(
        Fault{"var x\neq E: max(x) = 0", 2, 7, "max takes 2 arguments or more, not 1"},
        Fault{"var x\neq E: tanh(x, 1) = 0", 2, 13,
              "expected ')' after the argument of tanh, found ','"},
        Fault{"def f(a, b) = a*b\nvar x\neq E: f(x) = 0", 3, 7, "f takes 2 arguments, not 1"},
        Fault{"def f(a) = f(a) + 1", 1, 12,
              "f cannot call itself: a function is expanded where it is called"},
        Fault{"var x\neq E: g(x) = 0\ndef g(a) = a", 2, 7,
              "unknown function g; the functions are ln, log, lg, abs, exp, sqrt, min, max, "
              "tanh, sinh and cosh"},
        Fault{"def f(a) = a + y\nvar x\neq E: f(x) = 0", 1, 16, "y is not declared"},
        // A body does not see the indices of the statement that calls it.
        Fault{"def g(u) = u*k\nvar x\neq E[k]: g(x) = 0 for k in 1..2", 1, 14,
              "k is not declared (where k = 1)"},
        Fault{"const k = 1\ndef f(k) = k", 2, 7,
              "the argument k of f has the name of a constant declared at line 1"},
        Fault{"def f(a, a) = a", 1, 10, "f names two arguments a"},
        Fault{"var f\ndef f(a) = a", 2, 5, "f is already declared as a variable at line 1"},
        Fault{"def f(a) = a\nvar f", 2, 5, "f is already defined as a function at line 1"},
        Fault{"def tanh(a) = a", 1, 5, "'tanh' is a function and cannot name a function"},
        Fault{"def f(a) = x[a]\nvar x[i] for i in 1..2\nvar y\neq E: f(y) = 0", 1, 14,
              "the index of x is not a finite number"}),
    NamedBy<&Fault::message>());

// Functions nested in functions may ask for more than any limit holds: each
// call of q copies its argument four times.
TEST(lang_functions, expansion_counts_against_the_equation_limit) {
    std::string text = "def q(u) = u*u + u*u\nvar x\neq E: ";
    for (int level = 0; level < 16; ++level) {
        text += "q(";
    }
    text += "x" + std::string(16, ')') + " = 0";
    const lang::LangError fault = build_fault(text);
    EXPECT_THAT(fault.message(),
                testing::HasSubstr("nodes once its functions are expanded (--max-equation-nodes"));
}

TEST(lang_functions, expansion_nests_within_a_limit) {
    // Each function calls the one before, negated 200 times.
    std::string text = "def f0(u) = u\n";
    for (int level = 1; level <= 12; ++level) {
        text += "def f" + std::to_string(level) + "(u) = " + std::string(200, '-') + "f" +
                std::to_string(level - 1) + "(u)\n";
    }
    text += "var x\neq E: f12(x) = 0";
    EXPECT_EQ(build_fault(text).message(),
              "the expression nests too deeply once its functions are expanded");
}

}  // namespace
