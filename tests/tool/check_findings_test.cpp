#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// check, the model doctor: one model per kind of finding, each finding with
// the equation (as the file names it), the variable's symbol and the place in
// the file; and models that must raise no false alarm.
namespace {

using namespace tool_models;

struct Expected {
    std::string severity;
    std::string kind;
    nlohmann::json equation;  // name or null
    nlohmann::json variable;  // symbol or null
    std::string pointer;      // empty: the finding has none
};

// The members a case states, as one comparable line.
std::string describe(const nlohmann::json& severity, const nlohmann::json& kind,
                     const nlohmann::json& equation, const nlohmann::json& variable,
                     const nlohmann::json& pointer) {
    return nlohmann::json::array({severity, kind, equation, variable, pointer}).dump();
}

std::vector<std::string> described(const nlohmann::json& findings) {
    std::vector<std::string> all;
    for (const nlohmann::json& f : findings) {
        all.push_back(describe(f["severity"], f["kind"], f["equation"], f["variable"],
                               f.contains("pointer") ? f["pointer"] : nlohmann::json("")));
    }
    std::sort(all.begin(), all.end());
    return all;
}

std::vector<std::string> described(const std::vector<Expected>& findings) {
    std::vector<std::string> all;
    for (const Expected& f : findings) {
        all.push_back(describe(f.severity, f.kind, f.equation, f.variable, f.pointer));
    }
    std::sort(all.begin(), all.end());
    return all;
}

struct CheckCase {
    const char* label;
    std::string model;
    std::vector<Expected> findings;
};

nlohmann::json run_check(const std::string& path, int exit_code, const char* label) {
    const ProgramRun run = run_quillon({"check", path, "--format", "json"});
    EXPECT_EQ(run.exit_code, exit_code) << label << '\n' << testing::PrintToString(run);
    return run.json();
}

void expect_findings(const std::vector<CheckCase>& cases) {
    for (const CheckCase& c : cases) {
        const TempModelFile model(c.model);
        const bool errors = std::any_of(c.findings.begin(), c.findings.end(),
                                        [](const Expected& f) { return f.severity == "error"; });
        const nlohmann::json check = run_check(model.path(), errors ? 1 : 0, c.label);
        EXPECT_EQ(described(check["findings"]), described(c.findings)) << c.label << '\n'
                                                                       << check.dump(2);
    }
}

const nlohmann::json NONE = nullptr;
const std::string E0 = "/EquationList/0";

// x - c = 0, the constant c being the node under test.
const std::string CONSTANT = E0 + "/SubExpressions/1/SubExpressions/1";

TEST(tool_check, derivative_findings) {
    expect_findings({
        {"derivative-mismatch: d(x^2)/dx written as x",
         wrong_square_derivative(1.0),
         {{"error", "derivative-mismatch", "sq", "x", E0 + "/Variables/0"}}},
        {"kink: |x| at 0, right everywhere else",
         model_text({equation("corner", sum({function("abs", reference("x")), number(-1)}),
                              {entry("x", number(1))})},
                    {variable("x", {0.0, 0.0, 10.0})}),
         {{"warning", "kink", "corner", "x", E0 + "/Variables/0"}}},
        {"missing-derivative",
         model_text(
             {equation("e", sum({reference("x"), number(-1)}), {entry_without_derivative("x")})},
             {variable("x")}),
         {{"error", "missing-derivative", "e", "x", E0 + "/Variables/0"}}},
        {"non-finite derivative: sqrt at 0",
         root_at_zero(),
         {{"error", "non-finite", "root", "x", E0 + "/Variables/0"}}},
        {"non-finite residual: ln of a negative number",
         log_x({-1.0, {}, {}}),
         {{"error", "non-finite", "log", NONE, E0}}},
    });
}

TEST(tool_check, entry_findings) {
    const json y_is_1 = equation("f", sum({reference("y"), number(-1)}), {entry("y", number(1))});
    expect_findings({
        {"missing-entry: y used, not listed",
         model_text({equation("e", sum({reference("x"), reference("y"), number(-3)}),
                              {entry("x", number(1))}),
                     y_is_1},
                    {variable("x"), variable("y")}),
         {{"error", "missing-entry", "e", "y", E0 + "/SubExpressions/1"}}},
        {"unused-entry: y listed, never used",
         model_text({equation("e", sum({reference("x"), number(-1)}),
                              {entry("x", number(1)), entry("y", number(0))}),
                     y_is_1},
                    {variable("x"), variable("y")}),
         {{"warning", "unused-entry", "e", "y", E0 + "/Variables/1"}}},
        {"duplicate-entry: x listed twice, the halves adding up",
         model_text({equation("e", sum({reference("x"), number(-1)}),
                              {entry("x", number(0.5)), entry("x", number(0.5))})},
                    {variable("x")}),
         {{"warning", "duplicate-entry", "e", "x", E0 + "/Variables/1"}}},
        {"unknown-variable in the residual",
         model_text({equation("e", sum({reference("x"), reference("ghost"), number(-1)}),
                              {entry("x", number(1))})},
                    {variable("x")}),
         {{"error", "unknown-variable", "e", "ghost", E0 + "/SubExpressions/1"}}},
        {"unknown-variable as an entry",
         model_text({equation("e", sum({reference("x"), number(-1)}),
                              {entry("x", number(1)), entry("ghost", number(0))})},
                    {variable("x")}),
         {{"error", "unknown-variable", "e", "ghost", E0 + "/Variables/1"}}},
    });
}

TEST(tool_check, node_findings) {
    expect_findings({
        {"single-precision-text: 0.1 is not 0.1f",
         x_minus(numeric_text("0.1")),
         {{"warning", "single-precision-text", "e", NONE, CONSTANT}}},
        {"numeric text exact in single precision", x_minus(numeric_text("0.5")), {}},
        {"invalid-numeric-text",
         x_minus(numeric_text("one")),
         {{"error", "invalid-numeric-text", "e", NONE, CONSTANT}}},
        {"unrecognised-node",
         x_minus({{"Type", 9}}),
         {{"warning", "unrecognised-node", "e", NONE, CONSTANT}}},
        {"unknown-function",
         x_minus(function("sin", number(1))),
         {{"warning", "unknown-function", "e", NONE, CONSTANT}}},
    });
}

TEST(tool_check, structure_findings) {
    expect_findings({
        {"not-square: one degree of freedom",
         one_equation_two_variables(),
         {{"warning", "not-square", NONE, NONE, ""}}},
        {"structurally-singular: two equations in x alone, y in none",
         two_equations_in_x(),
         {{"error", "structurally-singular", "a", NONE, ""},
          {"error", "structurally-singular", "b", NONE, ""},
          {"error", "structurally-singular", NONE, "y", ""}}},
        {"duplicate-symbol",
         model_text({equation("e", sum({reference("x"), number(-1)}), {entry("x", number(1))})},
                    {variable("x"), variable("x")}),
         {{"error", "duplicate-symbol", NONE, "x", "/Variables/1"},
          {"warning", "not-square", NONE, NONE, ""}}},
    });
}

// The sets of a structural defect are named and counted, an empty one as such.
TEST(tool_check, structural_messages_name_the_sets) {
    const struct {
        std::string model;
        std::vector<std::string> messages;
    } cases[] = {
        {two_equations_in_x(),
         {"equation a is one of 2 equations (a and b) in only 1 variable (x)",
          "equation b is one of 2 equations (a and b) in only 1 variable (x)",
          "variable y is one of 1 variable (y) that no equation can determine"}},
        {model_text({equation("e", sum({reference("x"), number(-1)}), {entry("x", number(1))}),
                     equation("c", number(1), {})},
                    {variable("x"), variable("y")}),
         {"equation c is one of 1 equation (c) in no variable",
          "variable y is one of 1 variable (y) that no equation can determine"}},
    };
    for (const auto& c : cases) {
        const TempModelFile model(c.model);
        const nlohmann::json check = run_check(model.path(), 1, "sets");
        std::vector<std::string> messages;
        for (const nlohmann::json& finding : check["findings"]) {
            messages.push_back(finding["message"]);
        }
        EXPECT_EQ(messages, c.messages);
    }
}

// Correct derivatives raise nothing, however the terms are scaled, and a
// kink away from every point checked is no kink.
TEST(tool_check, no_false_alarms) {
    expect_findings({
        {"terms sixteen orders apart",
         model_text(
             {equation(
                  "e",
                  sum({product({number(1e10), power(reference("x"), number(2))}),
                       product({number(1e-6), reference("y")}), number(-1)}),
                  {entry("x", product({number(2e10), reference("x")})), entry("y", number(1e-6))}),
              equation(
                  "f", sum({function("exp", product({number(40), reference("y")})), number(-2)}),
                  {entry("y", product({number(40),
                                       function("exp", product({number(40), reference("y")}))}))})},
             {variable("x", {1e-5, {}, {}}), variable("y", {0.5, {}, {}})}),
         {}},
        {"abs away from 0",
         model_text({equation("corner", sum({function("abs", reference("x")), number(-1)}),
                              {entry("x", number(1))})},
                    {variable("x", {3.0, 0.5, 10.0})}),
         {}},
    });
}

TEST(tool_check, mismatch_reports_both_values_and_the_point) {
    const TempModelFile model(wrong_square_derivative(3.0));
    const nlohmann::json finding = run_check(model.path(), 1, "mismatch")["findings"][0];
    EXPECT_EQ(finding["derivative"], 3.0);
    EXPECT_NEAR(finding["finite_difference"].get<double>(), 6.0, 1e-6);
    EXPECT_EQ(finding["point"], "starting point");
    EXPECT_EQ(finding["at"], nlohmann::json::parse(R"({"x": 3.0})"));
}

TEST(tool_check, at_moves_the_point_checked) {
    // 1 / x is fine at 2 but infinite at 0, where --at starts it.
    const TempModelFile model(model_text(
        {equation("inv", power(reference("x"), number(-1)),
                  {entry("x", product({number(-1), power(reference("x"), number(-2))}))})},
        {variable("x", {2.0, {}, {}})}));
    EXPECT_EQ(run_check(model.path(), 0, "at 2")["errors"], 0);
    const ProgramRun run = run_quillon({"check", model.path(), "--at", "x=0", "--format", "json"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.json()["findings"][0]["kind"], "non-finite");
}

// The first group of each match of `pattern` in `svg`.
std::vector<std::string> matches(const std::string& svg, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex element(pattern);
    for (auto match = std::sregex_iterator(svg.begin(), svg.end(), element);
         match != std::sregex_iterator(); ++match) {
        found.push_back((*match)[1]);
    }
    return found;
}

// A spy picture read back: the labels of its rows and columns in drawn
// order, each filled mark as "equation/symbol" (" red" for a finding's), and
// the equations of each outlined block.
struct SpyPicture {
    std::vector<std::string> rows;
    std::vector<std::string> columns;
    std::vector<std::string> marks;
    std::vector<std::string> blocks;
};

SpyPicture read_spy(const std::string& svg) {
    SpyPicture picture;
    picture.rows = matches(svg, R"re(<text[^>]*text-anchor="end"[^>]*>([a-z])<)re");
    picture.columns = matches(svg, R"re(<text[^>]*text-anchor="start"[^>]*>([a-z])<)re");
    const std::string number = "([0-9.]+)";
    std::smatch frame;
    const std::string rect = "<rect x=\"" + number + "\" y=\"" + number + "\" width=\"" + number +
                             "\" height=\"" + number + "\" fill=\"([^\"]+)\" stroke=\"([^\"]+)\"";
    // The first rectangle with a place is the frame around the pattern.
    EXPECT_TRUE(std::regex_search(svg, frame, std::regex(rect)));
    const double left = std::stod(frame[1]);
    const double top = std::stod(frame[2]);
    const double cell = std::stod(frame[3]) / static_cast<double>(picture.columns.size());
    const auto at = [&](const std::string& coordinate, double origin) {
        return static_cast<std::size_t>((std::stod(coordinate) - origin) / cell);
    };
    const std::regex element(rect);
    for (auto match = std::sregex_iterator(svg.begin(), svg.end(), element);
         match != std::sregex_iterator(); ++match) {
        const std::smatch& m = *match;
        if (m[6] == "none") {
            picture.marks.push_back(picture.rows.at(at(m[2], top)) + "/" +
                                    picture.columns.at(at(m[1], left)) +
                                    (m[5] == "#d62020" ? " red" : ""));
        } else if (m[5] == "#eef2fa") {
            std::string block;
            const std::size_t first = at(m[2], top);
            for (std::size_t row = first; row < first + at(m[4], 0.0); ++row) {
                block += (block.empty() ? "" : " ") + picture.rows.at(row);
            }
            picture.blocks.push_back(block);
        }
    }
    std::sort(picture.marks.begin(), picture.marks.end());
    return picture;
}

// a: x - y - w, b: y - z, c: z + x - 4 form one cycle that w, fixed by
// p: w - 1 alone, comes before; the derivative of c by z is written as 2
// instead of 1.
std::string cycle_after_singleton() {
    return model_text(
        {equation("a",
                  sum({reference("x"), product({number(-1), reference("y")}),
                       product({number(-1), reference("w")})}),
                  {entry("x", number(1)), entry("y", number(-1)), entry("w", number(-1))}),
         equation("b", sum({reference("y"), product({number(-1), reference("z")})}),
                  {entry("y", number(1)), entry("z", number(-1))}),
         equation("c", sum({reference("z"), reference("x"), number(-4)}),
                  {entry("z", number(2)), entry("x", number(1))}),
         equation("p", sum({reference("w"), number(-1)}), {entry("w", number(1))})},
        {variable("x"), variable("y"), variable("z"), variable("w")});
}

TEST(tool_check, spy_draws_the_pattern_in_blocks_with_findings_marked) {
    const TempModelFile model(cycle_after_singleton());
    const TempModelFile spy("");
    const ProgramRun run = run_quillon({"check", model.path(), "--spy", spy.path()});
    EXPECT_EQ(run.exit_code, 1) << testing::PrintToString(run);
    std::ifstream in(spy.path());
    std::ostringstream read;
    read << in.rdbuf();
    const SpyPicture picture = read_spy(read.str());
    // p and w first, then the cycle, outlined as one block; the nonzero with
    // the wrong derivative in red.
    EXPECT_EQ(picture.rows, (std::vector<std::string>{"p", "c", "b", "a"})) << read.str();
    EXPECT_EQ(picture.columns, (std::vector<std::string>{"w", "z", "y", "x"})) << read.str();
    EXPECT_EQ(picture.marks, (std::vector<std::string>{"a/w", "a/x", "a/y", "b/y", "b/z", "c/x",
                                                       "c/z red", "p/w"}))
        << read.str();
    EXPECT_EQ(picture.blocks, (std::vector<std::string>{"c b a"})) << read.str();
}

}  // namespace
