// quillon build and quillon show as the command line runs them: every
// example's equations build into a model that check passes and that solves to
// the example's expected values, show gives text that builds the same model,
// and faults end the command the way they end the others.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <nlohmann/json.hpp>

#include "case_names.h"
#include "text_files.h"
#include "tool_process.h"

#ifndef QUILLON_EXAMPLES
#error "QUILLON_EXAMPLES must name the examples folder"
#endif

namespace {

using json = nlohmann::json;

const std::filesystem::path examples = QUILLON_EXAMPLES;

// A model with N nodes is built with this many, whatever its text says: at
// 1000 nodes the heat rod's profile lies within 3e-5 K of the expected one,
// computed with 10^5, well inside the tolerance, and the test takes a second
// instead of half a minute.
constexpr int test_nodes = 1000;

// The example's equations, with `const N` set to test_nodes if it has one.
std::string example_equations(const std::string& example) {
    std::string text = read_file(examples / example / "model.eq");
    const std::string statement = "const N = ";
    const std::size_t value = text.find(statement);
    if (value != std::string::npos) {
        const std::size_t first = value + statement.size();
        const std::size_t end = text.find_first_not_of("0123456789", first);
        text.replace(first, end - first, std::to_string(test_nodes));
    }
    return text;
}

// A built model without each equation's "EquationString", which holds the
// text as written and so differs between equivalent sources.
json model_trees(const std::string& path) {
    json model = json::parse(read_file(path));
    for (json& equation : model["EquationList"]) {
        equation.erase("EquationString");
    }
    return model;
}

// The solved values by symbol.
std::map<std::string, double> solved_values(const ProgramRun& run) {
    std::map<std::string, double> values;
    const json report = json::parse(run.out);
    for (const json& variable : report["variables"]) {
        values[variable["symbol"].get<std::string>()] = variable["value"].get<double>();
    }
    return values;
}

// The expected values by symbol: "values", or the heat rod's "profile" of
// temperatures at fractions of the length, node i of N being T[i].
std::map<std::string, double> expected_values(const json& expected, int nodes) {
    std::map<std::string, double> values;
    if (expected.contains("values")) {
        values = expected["values"].get<std::map<std::string, double>>();
    }
    for (const json& point : expected.value("profile", json::array())) {
        const long node = std::lround(point["fraction"].get<double>() * nodes);
        if (node > 0) {  // node 0 is the held base, not a variable
            values["T[" + std::to_string(node) + "]"] = point["temperature"].get<double>();
        }
    }
    return values;
}

class lang_command_examples : public testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        write_file(scratch_.file("model.eq"), example_equations(GetParam()));
        const ProgramRun built = scratch_.quillon("build model.eq -o model.json");
        ASSERT_EQ(built.exit_code, 0) << built.err;
        ASSERT_EQ(built.err, "");
    }

    Scratch scratch_;
};

TEST_P(lang_command_examples, pass_check_without_findings) {
    const ProgramRun checked = scratch_.quillon("check model.json --format json");
    ASSERT_EQ(checked.exit_code, 0) << checked.out << checked.err;
    const json report = json::parse(checked.out);
    EXPECT_EQ(report["findings"], json::array()) << report.dump(1);
    EXPECT_EQ(report["errors"], 0);
    EXPECT_EQ(report["warnings"], 0);
}

TEST_P(lang_command_examples, solve_to_the_expected_values) {
    const json expected = json::parse(read_file(examples / GetParam() / "expected.json"));
    std::string arguments = "solve model.json --format json";
    for (const json& argument : expected.value("solve_arguments", json::array())) {
        arguments += " " + argument.get<std::string>();
    }
    const ProgramRun solved = scratch_.quillon(arguments);
    ASSERT_EQ(solved.exit_code, 0) << solved.err;
    const std::map<std::string, double> values = solved_values(solved);
    const json& tolerance = expected["tolerance"];
    const double relative = tolerance.value("relative", 0.0);
    const double absolute = tolerance.value("absolute", 0.0);
    const std::map<std::string, double> wanted = expected_values(expected, test_nodes);
    ASSERT_FALSE(wanted.empty());
    for (const auto& [symbol, value] : wanted) {
        ASSERT_EQ(values.count(symbol), 1u) << symbol;
        EXPECT_NEAR(values.at(symbol), value, absolute + relative * std::fabs(value)) << symbol;
    }
}

// build -> show --exact -> build gives the same trees, and show of the
// rebuilt model gives the same text again.
TEST_P(lang_command_examples, build_again_from_what_show_prints) {
    const ProgramRun shown = scratch_.quillon("show model.json --exact");
    ASSERT_EQ(shown.exit_code, 0) << shown.err;
    write_file(scratch_.file("shown.eq"), shown.out);
    const ProgramRun rebuilt = scratch_.quillon("build shown.eq -o again.json");
    ASSERT_EQ(rebuilt.exit_code, 0) << rebuilt.err;
    EXPECT_EQ(model_trees(scratch_.file("again.json")), model_trees(scratch_.file("model.json")));
    EXPECT_EQ(scratch_.quillon("show again.json --exact").out, shown.out);
}

INSTANTIATE_TEST_SUITE_P(lang_command, lang_command_examples,
                         testing::Values("flash_drum", "cstr", "heat_rod"),
                         [](const testing::TestParamInfo<std::string>& example) {
                             return example.param;
                         });

const char* const small_model =
    "var x = 1 in [0, 10] \"x value\"\nvar y = 2\n"
    "eq E1: x*y = 2\neq bal[1]: x^2 + sqrt(y) - y/x = ln(x)\n";

TEST(lang_command, build_writes_stdout_without_output_file) {
    Scratch scratch;
    write_file(scratch.file("small.eq"), small_model);
    const ProgramRun to_file = scratch.quillon("build small.eq -o small.json");
    const ProgramRun to_stdout = scratch.quillon("build small.eq");
    const ProgramRun from_stdin = scratch.quillon("build - <small.eq");
    ASSERT_EQ(to_file.exit_code, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    EXPECT_EQ(to_stdout.exit_code, 0);
    EXPECT_EQ(to_stdout.out, read_file(scratch.file("small.json")));
    EXPECT_EQ(from_stdin.out, to_stdout.out);
}

TEST(lang_command, show_prints_equations_with_their_derivatives) {
    Scratch scratch;
    write_file(scratch.file("small.eq"), small_model);
    scratch.quillon("build small.eq -o small.json");
    const ProgramRun all = scratch.quillon("show small.json");
    EXPECT_EQ(all.out,
              "var x = 1 in [0, 10] \"x value\"\n"
              "var y = 2\n"
              "\n"
              "eq E1: x*y - 2 = 0\n"
              "  # d/d x = y\n"
              "  # d/d y = x\n"
              "eq bal[1]: x^2 + sqrt(y) - y/x - ln(x) = 0\n"
              "  # d/d x = 2*x + y*x^-2 - 1/x\n"
              "  # d/d y = 0.5*y^-0.5 - 1/x\n");
    const ProgramRun one = scratch.quillon("show small.json --equation E1");
    EXPECT_EQ(one.exit_code, 0);
    EXPECT_EQ(one.out, "eq E1: x*y - 2 = 0\n  # d/d x = y\n  # d/d y = x\n");
}

struct Failing {
    std::string arguments;
    std::string err;  // all of stderr
};

void PrintTo(const Failing& failing, std::ostream* out) {
    *out << failing.arguments;
}

class lang_command_faults : public testing::TestWithParam<Failing> {};

// Every fault exits with 2 and one line on stderr, leaves no model file
// behind and the equation file as it was.
TEST_P(lang_command_faults, exit_with_2_and_say_why) {
    Scratch scratch;
    write_file(scratch.file("small.eq"), small_model);
    write_file(scratch.file("bad.eq"), "var x\neq x = (1");
    scratch.quillon("build small.eq -o small.json");
    const ProgramRun run = scratch.quillon(GetParam().arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err, GetParam().err);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(scratch.file("out.json")));
    EXPECT_EQ(read_file(scratch.file("small.eq")), small_model);
}

INSTANTIATE_TEST_SUITE_P(
    lang_command, lang_command_faults,
    testing::Values(
        Failing{"build bad.eq -o out.json",
                "bad.eq:2:8: error: this '(' is not closed: expected an operator or ')', found "
                "the end of the text at line 2, column 10\n"},
        Failing{"build - -o out.json <bad.eq",
                "<stdin>:2:8: error: this '(' is not closed: expected an operator or ')', found "
                "the end of the text at line 2, column 10\n"},
        Failing{"build none.eq -o out.json",
                "quillon: error: cannot open none.eq: No such file or directory\n"},
        Failing{"build . -o out.json", "quillon: error: cannot open .: Is a directory\n"},
        Failing{"build small.eq -o ./small.eq",
                "quillon: error: -o names the input file small.eq itself\n"},
        Failing{"build small.eq -o no/out.json",
                "quillon: error: cannot write no/out.json: No such file or directory\n"},
        Failing{"show none.json", "quillon: error: MODEL: File does not exist: none.json\n"},
        Failing{"show small.json --equation bal",
                "quillon: error: --equation: the model has no equation 'bal'; did you mean "
                "bal[1]?\n"},
        Failing{"show bad.eq",
                "bad.eq:2:8: error: this '(' is not closed: expected an operator "
                "or ')', found the end of the text at line 2, column 10\n"}),
    NamedBy<&Failing::arguments>());

}  // namespace
