// Parameters, array constants and outputs: what build writes of each, the
// values it comes to, and that show prints it as text that builds the same
// model again.
#include "lang_support.h"

namespace {

using json = nlohmann::json;

// A parameter is a variable that an equation of its own, named after it and
// listed after the equations as written, holds at its value.
TEST(lang_constructs, a_parameter_is_a_variable_with_its_own_equation) {
    const json file = json::parse(lang::build_model_json(
        "param Ua = 250 in [0, ] \"heat transfer / (W/K)\"\nvar T = 300\n"
        "eq duty: T = 290 + Ua/25\nparam k[i] = -i for i in 1..2\neq E2: T = k[1]*k[2]",
        "t"));
    EXPECT_EQ(file["Variables"][0],
              json::parse(R"j({"VariableSymbol":"Ua","VariableName":"heat transfer / (W/K)",
                              "Min":0.0,"Initial":250.0})j"));
    EXPECT_EQ(file["Variables"][2]["Initial"], -1.0);
    std::vector<std::string> names;
    for (const json& equation : file["EquationList"]) {
        names.push_back(equation["EquationName"]);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"duty", "E2", "Ua", "k[1]", "k[2]"}));
    EXPECT_EQ(file["EquationList"][2]["EquationString"], "Ua = 250");
    EXPECT_EQ(file["Parameters"], json::parse(R"([{"VariableSymbol":"Ua","EquationName":"Ua"},
                                                  {"VariableSymbol":"k[1]","EquationName":"k[1]"},
                                                  {"VariableSymbol":"k[2]","EquationName":"k[2]"}])"));
    const LoadedModel model(file.dump());
    EXPECT_EQ(model.value(model.equation("Ua")), 0.0);
    EXPECT_EQ(model.value(model.equation("k[2]")), 0.0);
    EXPECT_EQ(model.value(model.equation("duty")), 300 - 290 - 10.0);
}

TEST(lang_constructs, array_constants_take_their_values_in_order) {
    auto model = build_and_load(
        "const A[1..3] = [6.90565, 6.95464, 2*3.5]\nconst B[0..1, 2..4] = [[1, 2, 3], [4, 5, "
        "A[3]]]\n"
        "var x\neq E: x = A[1] + 10*A[3] + 100*B[1, 4] + 1000*B[0, 2]");
    EXPECT_DOUBLE_EQ(model->value(model->equation("E")), -(6.90565 + 70 + 700 + 1000));
}

// Outputs are no equations: their trees stand apart, and may use variables,
// parameters, constants and outputs before them.
TEST(lang_constructs, outputs_compute_from_the_variables) {
    auto model = build_and_load(
        "const N = 2\nvar w[i] = i for i in 1..N\nparam s = 3\neq E[i]: w[i] = i for i in 1..N\n"
        "out n[i] = s*exp(w[i]) \"moles\" for i in 1..N\nout total = n[1] + n[2]");
    EXPECT_EQ(model->model().equations().size(), 3u);
    EXPECT_EQ(model->members().output_descriptions,
              (std::vector<std::string>{"moles", "moles", ""}));
    model->set("w[1]", 0.5);
    model->set("w[2]", -1);
    EXPECT_DOUBLE_EQ(model->output("n[1]"), 3 * std::exp(0.5));
    EXPECT_DOUBLE_EQ(model->output("total"), 3 * std::exp(0.5) + 3 * std::exp(-1.0));
}

class lang_constructs_round_trip : public testing::TestWithParam<std::string> {};

// show --exact prints each construct as the language writes it, and that
// text builds the same model again; what show prints to read builds too.
TEST_P(lang_constructs_round_trip, builds_the_same_model) {
    const std::string built = lang::build_model_json(GetParam(), "t");
    const LoadedModel model(built);
    const std::string exact = model.shown(lang::Showing::exact);
    EXPECT_EQ(trees(lang::build_model_json(exact, "shown")), trees(built)) << exact;
    EXPECT_NO_THROW(lang::build_model_json(model.shown(lang::Showing::readable), "readable"));
}

INSTANTIATE_TEST_SUITE_P(
    lang_constructs, lang_constructs_round_trip,
    testing::Values("param Ua = 250 in [0, 1000] \"heat / (W/K)\"\nvar T\neq E: T = Ua",
                    "var x\nparam p = 0\nparam m = -2.5e-7\neq E: x = p + m",
                    "param k[i] = i/10 for i in 1..3\nvar y\neq E: y = k[1]*k[3]",
                    "const A[1..2] = [0.1, 0.2]\nvar x\neq E: x^2 = A[1] + A[2]",
                    "var w = 1\neq E: w = 2\nout n = exp(w) \"moles\"\nout m = n^2 - w",
                    "var Q\neq hw: Q*abs(Q)^0.852 = 1\nout v = tanh(Q) + max(Q, 0)",
                    "def f(a, b) = a^2 - b\nvar x\nvar y\neq E: f(x, y) = min(x, y, 1)"),
    [](const testing::TestParamInfo<std::string>& text) {
        return case_name(text.index, text.param);
    });

TEST(lang_constructs, show_prints_each_construct_as_written) {
    const std::string built = lang::build_model_json(
        "param Ua = 250 in [0, ] \"U / (W/K)\"\nvar T = 1\neq E: T = Ua\nout twice = 2*T \"2T\"",
        "t");
    EXPECT_EQ(LoadedModel(built).shown(lang::Showing::readable),
              "param Ua = 250 in [0, ] \"U / (W/K)\"\nvar T = 1\n\neq E: T - Ua = 0\n"
              "  # d/d T = 1\n  # d/d Ua = -1\n\nout twice = 2*T \"2T\"\n");
}

// A parameter's equation changed by hand no longer holds it at its value:
// it shows as the variable and the equation it has become.
TEST(lang_constructs, an_edited_parameter_shows_as_what_it_is) {
    json file = json::parse(lang::build_model_json("param p = 2\nvar x\neq E: x = p", "t"));
    file["EquationList"][1]["SubExpressions"][1]["DoubleValue"] = -3.0;
    EXPECT_EQ(LoadedModel(file.dump()).shown(lang::Showing::readable),
              "var p = 2\nvar x\n\neq E: x - p = 0\n  # d/d x = 1\n  # d/d p = -1\n"
              "eq p: p - 3 = 0\n  # d/d p = 1\n");
}

class lang_constructs_faults : public testing::TestWithParam<Fault> {};

TEST_P(lang_constructs_faults, say_where_and_what) {
    expect_fault(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    lang_constructs, lang_constructs_faults,
    testing::Values(
        Fault{"x = 1", 1, 1, "expected a statement: const, var, param, eq, out or def, found 'x'"},
        Fault{"param k", 1, 8,
              "expected '=' and the value of the parameter k, found the end of "
              "the text"},
        Fault{"param k = 2 in [3, ]", 1, 7, "the value 2 of k is below its bounds"},
        Fault{"var x\nparam k = x", 2, 11,
              "x is a variable; only numbers, constants and indices can stand here"},
        Fault{"var x\neq k: x = 1\nparam k = 1", 3, 7,
              "the equation of the parameter k is already given at line 2 (the host "
              "upper-cases names)"},
        Fault{"param Ua = 1\nvar UA", 2, 5,
              "UA and the parameter Ua differ only in letter case, and the host upper-cases names"},
        Fault{"const A[1..3] = [1, 2]", 1, 17, "A has 3 values in 1..3, but the list gives 2"},
        Fault{"const A[1..2, 1..2] = [[1, 2], [3]]", 1, 32,
              "A has 2 values in 1..2, but the list gives 1"},
        Fault{"const A[3..1] = [1]", 1, 9, "the indices 3..1 of A are none"},
        Fault{"const A[1..2, 3] = [1, 2]", 1, 15,
              "the indices of A are either all ranges first..last (an array constant) or none"},
        Fault{"const A[1..2] = 1", 1, 17, "expected '[' and a list of the values of A, found '1'"},
        Fault{"const A[1..2] = [1, 2] for i in 1..2", 1, 24,
              "expected the next statement, found 'for'"},
        Fault{"var x\neq E: x = [1, 2]", 2, 11, "expected a number, a name or '(', found '['"},
        Fault{"var x\nout y = 2*x\neq E: x = y", 3, 11,
              "y is an output, computed after a solve; only other outputs can use it (a def "
              "names an expression for equations too)"},
        Fault{"var x\nout x = 2", 2, 5, "x is already declared as a variable at line 1"},
        Fault{"out y = 1\nvar Y", 2, 5,
              "Y and the output y differ only in letter case, and the host upper-cases names"}),
    NamedBy<&Fault::message>());

}  // namespace
