#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// The JSON documents (and the CSV) that scripts read: their members, the
// host's 1-based numbers, the file's symbols beside the host's names, and
// numbers that survive the trip through text.
namespace {

using namespace tool_models;

nlohmann::json json_of(const std::vector<std::string>& arguments, int exit_code = 0) {
    const ProgramRun run = run_quillon(arguments);
    EXPECT_EQ(run.exit_code, exit_code) << testing::PrintToString(run);
    return run.json();
}

// The identity text that --version reports for the plug-in.
std::string plugin_identity() {
    const std::string out = run_quillon({"--version"}).out;
    const std::size_t start = out.find("plug-in ") + 8;
    return out.substr(start, out.find(" (", start) - start);
}

TEST(tool_json, info_gives_counts_and_the_pattern_in_declared_order) {
    const TempModelFile model(linear_pair());
    const nlohmann::json info = json_of({"info", model.path(), "--format", "json"});
    EXPECT_EQ(info["identity"], plugin_identity());
    EXPECT_EQ(info["variables"], 2);
    EXPECT_EQ(info["equations"], 2);
    EXPECT_EQ(info["nonzeros"], 4);
    EXPECT_EQ(info["pattern"], nlohmann::json::parse("[[1, 2], [1, 1], [2, 1], [2, 2]]"));
}

TEST(tool_info, summary_prints_the_counts_alone) {
    const TempModelFile model(linear_pair());
    const nlohmann::json json = json_of({"info", model.path(), "--summary", "--format", "json"});
    EXPECT_EQ(json, nlohmann::json({{"identity", plugin_identity()},
                                    {"variables", 2},
                                    {"equations", 2},
                                    {"nonzeros", 4}}));
    const ProgramRun text = run_quillon({"info", model.path(), "--summary"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_EQ(text.out, "Model      " + model.path() + "\nPlug-in    " + plugin_identity() +
                            "\nVariables  2\nEquations  2\nNonzeros   4\n");
}

TEST(tool_json, eval_gives_what_the_block_wrote_at_the_starting_point) {
    const TempModelFile model(linear_pair());
    const nlohmann::json eval = json_of({"eval", model.path(), "--at", "y=1", "--format", "json"});
    EXPECT_EQ(eval["variables"], nlohmann::json::parse(R"([
        {"number": 1, "symbol": "x", "name": "X", "value": 0.5, "description": ""},
        {"number": 2, "symbol": "y", "name": "Y", "value": 1.0, "description": ""}])"));
    EXPECT_EQ(eval["equations"], nlohmann::json::parse(R"([
        {"number": 1, "name": "sum", "residual": -1.5, "host_name": "SUM", "text": ""},
        {"number": 2, "name": "diff", "residual": -1.5, "host_name": "DIFF", "text": ""}])"));
    EXPECT_EQ(eval["jacobian"], nlohmann::json::parse(R"([
        {"nonzero": 1, "equation": 1, "variable": 2, "value": 1.0},
        {"nonzero": 2, "equation": 1, "variable": 1, "value": 1.0},
        {"nonzero": 3, "equation": 2, "variable": 1, "value": 1.0},
        {"nonzero": 4, "equation": 2, "variable": 2, "value": -1.0}])"));
}

// Without --at, a variable starts at its "Initial", or else at 0 moved to
// the nearer bound when the bounds exclude 0.
TEST(tool_json, eval_starts_from_initial_values_or_the_host_default) {
    const struct {
        Values values;
        double start;
    } cases[] = {
        {{}, 0.0},
        {{{}, 2.0, 5.0}, 2.0},
        {{{}, {}, -3.0}, -3.0},
        {{7.0, 2.0, {}}, 7.0},
        {{{}, -1.0, 1.0}, 0.0},
    };
    for (const auto& c : cases) {
        const TempModelFile model(model_text(
            {equation("e", reference("x"), {entry("x", number(1))})}, {variable("x", c.values)}));
        const nlohmann::json eval = json_of({"eval", model.path(), "--format", "json"});
        EXPECT_EQ(eval["variables"][0]["value"], c.start) << eval.dump();
    }
}

// The host's list keeps 1031 bytes of a name, which can cut a character of a
// longer one in two. The document cannot be written then, and only the
// failure's object reaches standard output, not part of a document before it.
TEST(tool_json, a_name_cut_inside_a_character_leaves_only_the_failure_written) {
    const std::string symbol = std::string(1030, 'a') + "\xc3\xa9\xc3\xa9";
    const TempModelFile model(model_text(
        {equation("e", sum({reference(symbol), number(-2)}), {entry(symbol, number(1))})},
        {variable(symbol)}));
    for (const char* command : {"solve", "eval", "info"}) {
        const nlohmann::json failure = json_of({command, model.path(), "--format", "json"}, 2);
        EXPECT_EQ(failure["error"]["message"],
                  "[json.exception.type_error.316] incomplete UTF-8 string; last byte: 0xC3")
            << command;
    }
}

TEST(tool_json, non_finite_numbers_are_strings) {
    const json inverse = power(reference("x"), number(-1));
    const TempModelFile model(
        model_text({equation("up", inverse, {entry("x", number(1))}),
                    equation("down", product({number(-1), inverse}), {entry("x", number(1))}),
                    equation("undefined", function("ln", sum({reference("x"), number(-1)})),
                             {entry("x", number(1))})},
                   {variable("x", {0.0, {}, {}})}));
    const nlohmann::json eval = json_of({"eval", model.path(), "--format", "json"});
    EXPECT_EQ(eval["equations"][0]["residual"], "inf");
    EXPECT_EQ(eval["equations"][1]["residual"], "-inf");
    EXPECT_EQ(eval["equations"][2]["residual"], "nan");
}

TEST(tool_json, numbers_survive_the_round_trip) {
    const TempModelFile model(
        model_text({equation("third", product({reference("x"), power(number(3), number(-1))}),
                             {entry("x", power(number(3), number(-1)))})},
                   {variable("x")}));
    const nlohmann::json eval =
        json_of({"eval", model.path(), "--at", "x=0.1", "--format", "json"});
    EXPECT_EQ(eval["variables"][0]["value"].get<double>(), 0.1);
    EXPECT_EQ(eval["equations"][0]["residual"].get<double>(), 0.1 * std::pow(3.0, -1.0));
}

TEST(tool_json, check_lists_findings_and_counts) {
    const TempModelFile clean(linear_pair());
    EXPECT_EQ(json_of({"check", clean.path(), "--format", "json"}),
              nlohmann::json::parse(R"({"findings": [], "errors": 0, "warnings": 0})"));

    const TempModelFile wrong(wrong_square_derivative(1.0));
    const nlohmann::json check = json_of({"check", wrong.path(), "--format", "json"}, 1);
    ASSERT_EQ(check["findings"].size(), 1u) << check.dump(2);
    const nlohmann::json& finding = check["findings"][0];
    EXPECT_EQ(finding["severity"], "error");
    EXPECT_EQ(finding["kind"], "derivative-mismatch");
    EXPECT_EQ(finding["equation"], "sq");  // as in the file, not as the host holds it
    EXPECT_EQ(finding["variable"], "x");
    EXPECT_TRUE(finding["message"].is_string());
    EXPECT_EQ(check["errors"], 1);
    EXPECT_EQ(check["warnings"], 0);
}

TEST(tool_json, solve_gives_the_verdict_values_and_history) {
    const TempModelFile model(linear_pair());
    const nlohmann::json solve = json_of({"solve", model.path(), "--format", "json"});
    EXPECT_EQ(solve["status"], "Converged");
    EXPECT_EQ(solve["iterations"], 1);
    EXPECT_LE(solve["residual_norm"].get<double>(), 1e-9);
    ASSERT_EQ(solve["variables"].size(), 2u);
    EXPECT_EQ(solve["variables"][0]["symbol"], "x");
    EXPECT_EQ(solve["variables"][0]["name"], "X");
    EXPECT_NEAR(solve["variables"][0]["value"].get<double>(), 2.0, 1e-12);
    EXPECT_EQ(solve["variables"][0]["fixed"], false);
    EXPECT_NEAR(solve["variables"][1]["value"].get<double>(), 1.0, 1e-12);
    EXPECT_EQ(solve["equations"][1]["name"], "diff");
    EXPECT_EQ(solve["equations"][1]["host_name"], "DIFF");
    EXPECT_LE(std::fabs(solve["equations"][1]["residual"].get<double>()), 1e-9);
    const nlohmann::json& history = solve["history"];
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0]["iteration"], 0);
    EXPECT_EQ(history[0]["residual_norm"], 2.5);  // SUM: 0.5 + 0 - 3
    EXPECT_EQ(history[0]["worst_equation"], "sum");
    EXPECT_EQ(history[0]["at_bounds"], 0);
    EXPECT_EQ(history[1]["iteration"], 1);
    EXPECT_EQ(history[1]["residual_norm"], solve["residual_norm"]);
    EXPECT_GT(history[1]["step_norm"].get<double>(), 0.0);
    const nlohmann::json& timing = solve["timing"];
    EXPECT_GT(timing["last_iteration_seconds"].get<double>(), 0.0);
    EXPECT_LE(timing["last_iteration_seconds"].get<double>(),
              timing["total_seconds"].get<double>());
}

TEST(tool_json, solve_counts_variables_at_bounds) {
    // ln x = 0 from the upper bound: the full Newton step would leave the box.
    const TempModelFile model(log_x({10.0, 1e-3, 10.0}));
    const nlohmann::json solve = json_of({"solve", model.path(), "--format", "json"});
    EXPECT_EQ(solve["history"][0]["at_bounds"], 1);
    EXPECT_EQ(solve["history"].back()["at_bounds"], 0);
    EXPECT_NEAR(solve["variables"][0]["value"].get<double>(), 1.0, 1e-9);
}

TEST(tool_csv, solve_writes_one_row_per_variable) {
    const TempModelFile model(
        model_text({equation("e", sum({reference("a"), reference("q\"r,s"), number(-3)}),
                             {entry("a", number(1)), entry("q\"r,s", number(1))})},
                   {variable("a"), variable("q\"r,s")}));
    const ProgramRun run = run_quillon({"solve", model.path(), "--fix", "a=1", "--format", "csv"});
    EXPECT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    EXPECT_EQ(run.out,
              "symbol,name,value,fixed,description,status,stop_reason\n"
              "a,A,1.0,true,,Converged,converged\n"
              "\"q\"\"r,s\",\"Q\"\"R,S\",2.0,false,,Converged,converged\n");
}

TEST(tool_text, solve_prints_its_log_and_the_verdict) {
    const TempModelFile model(linear_pair());
    const ProgramRun run = run_quillon({"solve", model.path()});
    EXPECT_EQ(run.exit_code, 0);
    for (const char* part : {"iter  largest |res|", "   0      2.500e+00     2.500e+00",
                             "Status      Converged", "x           2"}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << part << '\n' << run.out;
    }
}

}  // namespace
