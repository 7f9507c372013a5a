// Model files shown as equations: each node shape prints with the
// parentheses it needs and no more, nodes the language never writes show as
// such, and what show prints builds the same trees again.
#include <nlohmann/json.hpp>

#include "lang_support.h"
#include "tree_text.h"

namespace {

using json = nlohmann::json;

struct Shown {
    std::string tree;      // an equation's residual, as JSON
    std::string exact;     // the residual as show --exact prints it
    std::string readable;  // as show prints it
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << shown.exact;
}

class lang_show_trees : public testing::TestWithParam<Shown> {
  protected:
    std::optional<std::string> shown(lang::Showing showing) const {
        json equation = json::parse(GetParam().tree);
        equation["EquationName"] = "E";
        const LoadedModel model(R"({"EquationList":[)" + equation.dump() + "]}");
        return lang::show_equation(model.model(), "E", showing);
    }
};

TEST_P(lang_show_trees, print_exactly_as_written) {
    EXPECT_EQ(shown(lang::Showing::exact), "eq E: " + GetParam().exact + " = 0\n");
}

TEST_P(lang_show_trees, print_folded_to_read) {
    EXPECT_EQ(shown(lang::Showing::readable), "eq E: " + GetParam().readable + " = 0\n");
}

const std::string a = R"({"Type":4,"StringValue":"a"})";
const std::string b = R"({"Type":4,"StringValue":"b"})";
const std::string c = R"({"Type":4,"StringValue":"c"})";

using namespace tree_text;

// 0^sqrt(minus_u) - 0^sqrt(u), the sign of u as build writes it.
std::string sign(const std::string& minus_u, const std::string& u) {
    return sum(
        {power(n(0), call("sqrt", minus_u)), product({n(-1), power(n(0), call("sqrt", u))})});
}

INSTANTIATE_TEST_SUITE_P(
    lang_show, lang_show_trees,
    testing::Values(
        Shown{sum({a, product({n(-1), b}), n(-2), product({n(-3), b, c})}), "a - b - 2 - 3*b*c",
              "a - b - 3*b*c - 2"},
        Shown{sum({product({n(-1), a}), b}), "-a + b", "-a + b"},
        Shown{sum({a, sum({b, c})}), "a + (b + c)", "a + b + c"},
        Shown{sum({a, product({n(-1), sum({b, c})})}), "a - (b + c)", "a - (b + c)"},
        Shown{product({a, sum({b, c})}), "a*(b + c)", "a*(b + c)"},
        Shown{product({a, product({b, c})}), "a*(b*c)", "a*b*c"},
        Shown{product({a, power(b, n(-1)), power(c, n(-1))}), "a/b/c", "a/b/c"},
        Shown{product({power(b, n(-1)), a}), "b^-1*a", "a/b"},
        Shown{product({a, power(sum({b, c}), n(-1))}), "a/(b + c)", "a/(b + c)"},
        Shown{product({a, n(-2)}), "a*(-2)", "-2*a"}, Shown{product({n(-2), a}), "-2*a", "-2*a"},
        Shown{product({n(-1), sum({a, b})}), "-(a + b)", "-(a + b)"},
        Shown{power(power(a, b), c), "(a^b)^c", "(a^b)^c"},
        Shown{power(a, power(b, c)), "a^b^c", "a^b^c"}, Shown{power(a, n(-2)), "a^-2", "a^-2"},
        Shown{power(n(-2), a), "(-2)^a", "(-2)^a"},
        Shown{power(product({n(-1), a}), n(2)), "(-a)^2", "(-a)^2"},
        Shown{power(a, sum({b, c})), "a^(b + c)", "a^(b + c)"},
        Shown{call("ln", sum({a, b})), "ln(a + b)", "ln(a + b)"},
        Shown{n(1e-300), "1e-300", "1e-300"}, Shown{n(0.1), "0.1", "0.1"},
        // Numbers that the file carries apart fold into one where they are read.
        Shown{product({a, n(260), n(7.407), n(998)}), "a*260*7.407*998", "1921968.3599999999*a"},
        Shown{product({n(-0.7), product({n(0.5), power(a, n(-0.5))})}), "-0.7*(0.5*a^-0.5)",
              "-0.35*a^-0.5"},
        Shown{sum({n(1), a, n(2)}), "1 + a + 2", "a + 3"},
        Shown{sum({n(2), a, n(-2)}), "2 + a - 2", "a"},
        Shown{sum({a, product({n(2), n(-3), b})}), "a + 2*(-3)*b", "a - 6*b"},
        Shown{product({a, power(b, n(-1)), n(2)}), "a/b*2", "2*a/b"},
        Shown{product({power(b, n(-1)), n(3)}), "b^-1*3", "3/b"},
        Shown{product({n(2), sum({n(1), n(2)})}), "2*(1 + 2)", "6"},
        // The sign of the derivative of abs reads as sign(u).
        Shown{sign(product({n(-1), a}), a), "0^sqrt(-a) - 0^sqrt(a)", "sign(a)"},
        Shown{sign(product({n(-2), b}), product({n(2), b})), "0^sqrt(-2*b) - 0^sqrt(2*b)",
              "sign(2*b)"},
        Shown{sign(product({n(-1), sum({a, b})}), sum({a, b})), "0^sqrt(-(a + b)) - 0^sqrt(a + b)",
              "sign(a + b)"},
        Shown{product({n(-1), c, sign(a, product({n(-1), a}))}), "-c*(0^sqrt(a) - 0^sqrt(-a))",
              "-c*sign(-a)"},
        Shown{sign(a, a), "0^sqrt(a) - 0^sqrt(a)", "0^sqrt(a) - 0^sqrt(a)"},
        // Shapes the language never writes.
        Shown{sum({}), "0", "0"}, Shown{product({}), "1", "1"},
        Shown{sum({product({a})}), "a", "a"},
        Shown{R"({"Type":3,"StringValue":"0.1"})", "text(\"0.1\")", "text(\"0.1\")"},
        Shown{R"({"Type":9})", "<unrecognised node>", "<unrecognised node>"},
        Shown{node(5, {a}), "a^<missing>", "a^<missing>"},
        Shown{call("cos", a), "cos(a)", "cos(a)"}),
    NamedBy<&Shown::exact>());

class lang_show_round_trip : public testing::TestWithParam<std::string> {};

TEST_P(lang_show_round_trip, builds_the_same_trees) {
    const std::string built = lang::build_model_json(
        "var a = 1\nvar b in [0, ]\nvar c \"see \\\"c\\\"\"\neq " + GetParam(), "t");
    const std::string shown = LoadedModel(built).shown(lang::Showing::exact);
    EXPECT_EQ(trees(lang::build_model_json(shown, "shown")), trees(built)) << shown;
}

INSTANTIATE_TEST_SUITE_P(lang_show, lang_show_round_trip,
                         testing::Values("a - (b - c) = -(a + b)", "a/(b/c) = a/b/c",
                                         "a*(-b)*c^-2 = (-a)^2", "-a^b^c = (a^b)^c",
                                         "2*a/3 - a*2/3 = 1e-300*b", "0.1 + a = a + 0.1",
                                         "ln(abs(a - b)) = sqrt(exp(-c))",
                                         "a^(b - c) + (a*b)^-1 = 10^lg(c)",
                                         "sum(a^k/k for k in 1..3) = b"),
                         [](const testing::TestParamInfo<std::string>& equation) {
                             return case_name(equation.index, equation.param);
                         });

}  // namespace
