// What a model file built from equation text holds, and the faults of
// meaning that stop a build.
#include <nlohmann/json.hpp>

#include "lang_support.h"
#include "text_files.h"

namespace {

using testing::ElementsAre;

TEST(lang_build, writes_variables_with_what_is_given) {
    const auto loaded = build_and_load(R"(
        var T = 350 in [250, 500] "drum \"hot\" temperature"
        var P in [1e5, ]
        var Q in [, 0.5]
        var F
    )");
    const auto variables = loaded->model().variables();
    ASSERT_EQ(variables.size(), 4u);
    EXPECT_EQ(variables[0].variable_symbol, "T");
    EXPECT_EQ(variables[0].variable_name, "drum \"hot\" temperature");
    EXPECT_EQ(variables[0].initial, 350.0);
    EXPECT_EQ(variables[0].min, 250.0);
    EXPECT_EQ(variables[0].max, 500.0);
    EXPECT_EQ(variables[1].min, 1e5);
    EXPECT_EQ(variables[1].max, VALUE_NOT_GIVEN);
    EXPECT_EQ(variables[2].min, VALUE_NOT_GIVEN);
    EXPECT_EQ(variables[2].max, 0.5);
    EXPECT_EQ(variables[3].variable_name, "");
    EXPECT_EQ(variables[3].initial, VALUE_NOT_GIVEN);
}

TEST(lang_build, expands_families_with_their_indices) {
    const auto loaded = build_and_load(R"(
        const N = 3
        const w[i] = 10*i for i in 1..N
        var c[i, j] = w[i] + j for i in 1..2, j in i..N   # ranges may use earlier indices
        var none[i] for i in 1..0                         # an empty range declares nothing
    )");
    std::vector<std::string> symbols;
    std::vector<double> initials;
    for (const auto& variable : loaded->model().variables()) {
        symbols.emplace_back(variable.variable_symbol);
        initials.push_back(variable.initial);
    }
    EXPECT_THAT(symbols, ElementsAre("c[1,1]", "c[1,2]", "c[1,3]", "c[2,2]", "c[2,3]"));
    EXPECT_THAT(initials, ElementsAre(11, 12, 13, 22, 23));
}

TEST(lang_build, names_equations_by_label_or_by_place) {
    const auto loaded = build_and_load(R"(
        var x[i] for i in 1..3
        eq x[1] = 1
        eq bal[i]: x[i] = x[i-1] for i in 2..3
        eq x[1] + x[2] = 0
    )");
    std::vector<std::string> names;
    for (const auto& equation : loaded->model().equations()) {
        names.emplace_back(equation.equation_name());
    }
    EXPECT_THAT(names, ElementsAre("E1", "bal[2]", "bal[3]", "E4"));
}

struct Written {
    std::string equation;
    std::string text;
};

void PrintTo(const Written& written, std::ostream* out) {
    *out << written.equation;
}

class lang_build_equation_text : public testing::TestWithParam<Written> {};

// "EquationString" is the equation as written, its indices replaced by values.
TEST_P(lang_build_equation_text, is_the_equation_as_written) {
    const auto loaded =
        build_and_load("const N = 3\nvar x[i] for i in 0..4\nvar T\neq " + GetParam().equation);
    EXPECT_EQ(loaded->model().equations().front().equation_string(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    lang_build, lang_build_equation_text,
    testing::Values(Written{"E1: x[1] * T = 2", "x[1] * T = 2"},
                    Written{"bal[i]: x[i] - 0.5*(x[i-1] + x[i+1]) = 0 for i in 2..3",
                            "x[2] - 0.5*(x[1] + x[3]) = 0"},
                    Written{"e[i]: x[i] = 0.1*i for i in 2..2", "x[2] = 0.1*2"},
                    Written{"s[i]: sum(x[k]*x[i] for k in 1..N) = T for i in 3..3",
                            "sum(x[k]*x[3] for k in 1..N) = T"},
                    Written{"s[i]: sum(x[k + i] for k in 0..i) = 1 for i in 1..1",
                            "sum(x[k + 1] for k in 0..1) = 1"},
                    Written{"T   *  # a comment\n   x[N-1] = 2", "T * x[2] = 2"},
                    // Parentheses that open or close a side stay.
                    Written{"(T + 1)*x[1] = (x[2])", "(T + 1)*x[1] = (x[2])"},
                    Written{"e[i]: -(T) = 2*(x[i] - (i)) for i in 1..1", "-(T) = 2*(x[1] - (1))"}),
    NamedBy<&Written::equation>());

TEST(lang_build, lists_entries_in_order_of_first_appearance) {
    const auto loaded = build_and_load(R"(
        var x[i] for i in 1..3
        var y
        eq E: x[3]*y + y*x[1] = x[3] - x[2]
    )");
    EXPECT_THAT(entry_symbols(loaded->equation("E")), ElementsAre("x[3]", "y", "x[1]", "x[2]"));
}

// Even where an entry's derivative simplifies to 0, the entry stays.
TEST(lang_build, keeps_an_entry_whose_derivative_is_zero) {
    auto loaded = build_and_load("var x = 2\nvar y = 3\neq E: x + y - x = 1");
    const ExprNode& equation = loaded->equation("E");
    EXPECT_THAT(entry_symbols(equation), ElementsAre("x", "y"));
    EXPECT_EQ(loaded->value(derivative_of(equation, "x")), 0.0);
    EXPECT_EQ(loaded->value(derivative_of(equation, "y")), 1.0);
}

TEST(lang_build, residual_is_left_minus_right) {
    auto loaded = build_and_load(R"(
        const N = 2
        var T = 350
        var x[i] = 0.5 for i in 1..N
        eq E1: x[1] * T = 2
        eq E2: sum(x[i]^2 for i in 1..N) = T/700
    )");
    EXPECT_EQ(loaded->value(loaded->equation("E1")), 0.5 * 350 - 2);
    EXPECT_EQ(loaded->value(loaded->equation("E2")), 0.0);
}

TEST(lang_build, keeps_the_authors_letter_case) {
    const auto loaded = build_and_load("var Tin\nvar tOut\neq Bal: Tin = tOut");
    EXPECT_EQ(loaded->model().variables()[1].variable_symbol, "tOut");
    EXPECT_EQ(loaded->model().equations()[0].equation_name(), "Bal");
}

TEST(lang_build, writes_an_empty_model_for_no_statements) {
    const auto loaded = build_and_load("# nothing yet\n");
    EXPECT_TRUE(loaded->model().variables().empty());
    EXPECT_TRUE(loaded->model().equations().empty());
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The heat rod example as written, 10^5 nodes: building stays linear in the
// model's size and nothing recurses with it. (About 1.5 s in an optimised
// build; a quadratic step would not end in the test's time.)
TEST(lang_build, builds_the_heat_rod_of_100000_equations) {
    const std::filesystem::path rod = std::filesystem::path(QUILLON_EXAMPLES) / "heat_rod";
    const std::string model = lang::build_model_json(read_file(rod / "model.eq"), "model.eq");
    EXPECT_EQ(occurrences(model, "{\"EquationName\":"), 100000u);
    EXPECT_EQ(occurrences(model, "\"Differential\":"), 3 * 100000u - 2);
}

class lang_build_faults : public testing::TestWithParam<Fault> {};

TEST_P(lang_build_faults, say_where_and_what) {
    expect_fault(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    lang_build, lang_build_faults,
    testing::Values(
        Fault{"eq x = 1", 1, 4, "x is not declared"},
        // The first fault in the text is reported, whatever its kind.
        Fault{"eq x = 1\neq x = (", 1, 4, "x is not declared"},
        Fault{"var x[i] for i in 1..3\neq x[i] = x[i-1] for i in 1..3", 2, 11,
              "x[0] is not declared (where i = 1)"},
        Fault{"var y[i] for i in 1..2\nvar x\neq x = sum(y[k] for k in 1..3)", 3, 12,
              "y[3] is not declared (where k = 3)"},
        Fault{"var x\nvar x", 2, 5, "x is already declared as a variable at line 1"},
        Fault{"const k = 1\nvar k", 2, 5, "k is already declared as a constant at line 1"},
        Fault{"var T\nvar t", 2, 5,
              "t and the variable T differ only in letter case, and the host upper-cases names"},
        Fault{"var x\nconst c = 2*x", 2, 13,
              "x is a variable; only numbers, constants and indices can stand here"},
        Fault{"var x[i] for i in 1..2.5", 1, 22,
              "the end of the range of i is 2.5, not a whole number"},
        Fault{"var x[i/2] for i in 1..1", 1, 7,
              "the index of x is 0.5, not a whole number (where i = 1)"},
        Fault{"const k = 1/0", 1, 11, "the value of k is not a finite number"},
        Fault{"var x = ln(0)", 1, 9, "the initial value of x is not a finite number"},
        Fault{"var x in [2, 1]", 1, 5, "the lower bound 2 of x is above its upper bound 1"},
        Fault{"var x = 5 in [0, 1]", 1, 5, "the initial value 5 of x is above its bounds"},
        Fault{"var x[i] = i in [2, 3] for i in 1..2", 1, 5,
              "the initial value 1 of x[1] is below its bounds (where i = 1)"},
        Fault{"var x\neq A: x = 1\neq a: x = 2", 3, 4,
              "the equation name a is already given at line 2 (the host upper-cases names)"},
        Fault{"var x\neq E2: x = 1\neq x = 2", 3, 1,
              "this equation has no label, and its default name E2 is already given at line 2 "
              "(the host upper-cases names)"},
        Fault{"var x\neq 0*x = 1", 2, 1, "the equation E1 has no variable left once simplified"},
        Fault{"const i = 1\nvar x[i] for i in 1..2", 2, 14,
              "the index i has the name of a constant declared at line 1"},
        Fault{"var x[i, j] for i in 1..2, i in 1..2", 1, 28,
              "the index i is already in use here (where i = 1)"}),
    NamedBy<&Fault::message>());

}  // namespace
