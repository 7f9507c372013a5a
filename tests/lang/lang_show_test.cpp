// Model files shown as equations: each node shape prints with the
// parentheses it needs and no more, nodes the language never writes show as
// such, and what show prints builds the same trees again.
#include <nlohmann/json.hpp>

#include "lang_support.h"
#include "tree_text.h"

namespace {

using json = nlohmann::json;

struct Shown {
    std::string tree;  // an equation's residual, as JSON
    std::string text;  // the residual as show prints it
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << shown.text;
}

class lang_show_trees : public testing::TestWithParam<Shown> {};

TEST_P(lang_show_trees, print_as_written) {
    json equation = json::parse(GetParam().tree);
    equation["EquationName"] = "E";
    const LoadedModel model(R"({"EquationList":[)" + equation.dump() + "]}");
    EXPECT_EQ(lang::show_equation(model.model(), "E"), "eq E: " + GetParam().text + " = 0\n");
}

const std::string a = R"({"Type":4,"StringValue":"a"})";
const std::string b = R"({"Type":4,"StringValue":"b"})";
const std::string c = R"({"Type":4,"StringValue":"c"})";

using namespace tree_text;

INSTANTIATE_TEST_SUITE_P(
    lang_show, lang_show_trees,
    testing::Values(
        Shown{sum({a, product({n(-1), b}), n(-2), product({n(-3), b, c})}), "a - b - 2 - 3*b*c"},
        Shown{sum({product({n(-1), a}), b}), "-a + b"}, Shown{sum({a, sum({b, c})}), "a + (b + c)"},
        Shown{sum({a, product({n(-1), sum({b, c})})}), "a - (b + c)"},
        Shown{product({a, sum({b, c})}), "a*(b + c)"},
        Shown{product({a, product({b, c})}), "a*(b*c)"},
        Shown{product({a, power(b, n(-1)), power(c, n(-1))}), "a/b/c"},
        Shown{product({power(b, n(-1)), a}), "b^-1*a"},
        Shown{product({a, power(sum({b, c}), n(-1))}), "a/(b + c)"},
        Shown{product({a, n(-2)}), "a*(-2)"}, Shown{product({n(-2), a}), "-2*a"},
        Shown{product({n(-1), sum({a, b})}), "-(a + b)"}, Shown{power(power(a, b), c), "(a^b)^c"},
        Shown{power(a, power(b, c)), "a^b^c"}, Shown{power(a, n(-2)), "a^-2"},
        Shown{power(n(-2), a), "(-2)^a"}, Shown{power(product({n(-1), a}), n(2)), "(-a)^2"},
        Shown{power(a, sum({b, c})), "a^(b + c)"},
        Shown{R"({"Type":6,"StringValue":"ln","SubExpressions":[)" + sum({a, b}) + "]}",
              "ln(a + b)"},
        Shown{n(1e-300), "1e-300"}, Shown{n(0.1), "0.1"},
        // Shapes the language never writes.
        Shown{sum({}), "0"}, Shown{product({}), "1"}, Shown{sum({product({a})}), "a"},
        Shown{R"({"Type":3,"StringValue":"0.1"})", "text(\"0.1\")"},
        Shown{R"({"Type":9})", "<unrecognised node>"}, Shown{node(5, {a}), "a^<missing>"},
        Shown{R"({"Type":6,"StringValue":"cos","SubExpressions":[)" + a + "]}", "cos(a)"}),
    NamedBy<&Shown::text>());

class lang_show_round_trip : public testing::TestWithParam<std::string> {};

// The model file's equations and entries, without the text as written.
json trees(const std::string& model) {
    json file = json::parse(model);
    for (json& equation : file["EquationList"]) {
        equation.erase("EquationString");
    }
    return file;
}

TEST_P(lang_show_round_trip, builds_the_same_trees) {
    const std::string built = lang::build_model_json(
        "var a = 1\nvar b in [0, ]\nvar c \"see \\\"c\\\"\"\neq " + GetParam(), "t");
    const std::string shown = lang::show_model(LoadedModel(built).model());
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
