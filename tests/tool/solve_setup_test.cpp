#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// What solve does before iterating: faults that stop it (or, forced, only
// warn), the fixed/free swap and the square check's advice, warm starts.
namespace {

using namespace tool_models;

// e: x - 1 = 0 with the given extra residual terms and entries.
std::string x_minus_one(std::vector<json> extra_terms, std::vector<json> extra_entries,
                        const Values& x = {}) {
    std::vector<json> terms{reference("x"), number(-1)};
    terms.insert(terms.end(), extra_terms.begin(), extra_terms.end());
    std::vector<json> entries{entry("x", number(1))};
    entries.insert(entries.end(), extra_entries.begin(), extra_entries.end());
    return model_text({equation("e", sum(terms), entries)}, {variable("x", x)});
}

// T_spec: T - 340 = 0 (sets T) and duty: Q - 2 T = 0.
std::string temperature_set_by_an_equation() {
    return model_text(
        {equation("T_spec", sum({reference("T"), number(-340)}), {entry("T", number(1))}),
         equation("duty", sum({reference("Q"), product({number(-2), reference("T")})}),
                  {entry("Q", number(1)), entry("T", number(-2))})},
        {variable("T", {300.0, {}, {}}), variable("Q")});
}

TEST(tool_solve_setup, faults_stop_the_solve_and_force_only_warns) {
    const struct {
        const char* label;
        std::string model;
        std::vector<std::string> faults;
    } cases[] = {
        {"Min above Max",
         x_minus_one({}, {}, {0.0, 5.0, 1.0}),
         {"the host refused a registration: variable 1 refused: bounds [5, 1] admit no value"}},
        {"an entry naming no variable",
         x_minus_one({}, {entry("ghost", number(0.5))}),
         {"equation e lists an entry for 'ghost', which is no model variable; its nonzero would "
          "take no part in the solve"}},
        {"a residual reading no variable",
         x_minus_one({product({number(0), reference("ghost")}), reference("phantom")}, {}),
         {"equation e refers to 'ghost', which is no model variable; the reference would be "
          "worth 0",
          "equation e refers to 'phantom', which is no model variable; the reference would be "
          "worth 0"}},
        {"both, the symbol named once for each",
         x_minus_one({reference("ghost"), reference("ghost")},
                     {entry("ghost", number(1)), entry("ghost", number(1))}),
         {"equation e refers to 'ghost', which is no model variable; the reference would be "
          "worth 0",
          "equation e lists an entry for 'ghost', which is no model variable; its nonzero would "
          "take no part in the solve"}},
    };
    for (const auto& c : cases) {
        const TempModelFile model(c.model);
        std::string errors;
        std::string warnings;
        for (const std::string& fault : c.faults) {
            errors += "quillon: error: " + fault + "\n";
            warnings += "quillon: warning: " + fault + "\n";
        }
        const ProgramRun stopped = run_quillon(solve_json(model.path()));
        EXPECT_EQ(stopped.exit_code, 2) << c.label << '\n' << testing::PrintToString(stopped);
        const std::string refusal =
            "not solving a model with " +
            (c.faults.size() == 1 ? std::string("1 fault")
                                  : std::to_string(c.faults.size()) + " faults") +
            "; --force solves it anyway";
        // JSON output carries the refusal as its error object; the faults are on stderr.
        EXPECT_EQ(stopped.json()["error"]["kind"], "usage") << c.label;
        EXPECT_EQ(stopped.json()["error"]["message"], refusal) << c.label;
        EXPECT_EQ(stopped.err, errors + "quillon: error: " + refusal + "\n") << c.label;
        const ProgramRun forced = run_quillon(solve_json(model.path(), {"--force"}));
        EXPECT_EQ(forced.exit_code, 0) << c.label << '\n' << testing::PrintToString(forced);
        EXPECT_EQ(forced.err, warnings) << c.label;
        EXPECT_EQ(forced.json()["status"], "Converged") << c.label;
    }
}

TEST(tool_solve_setup, free_swaps_a_set_value_equation_for_a_fixed_variable) {
    const TempModelFile model(temperature_set_by_an_equation());
    const ProgramRun run =
        run_quillon(solve_json(model.path(), {"--free", "T_spec", "--fix", "Q=800"}));
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json solve = run.json();
    EXPECT_NEAR(solve["variables"][0]["value"].get<double>(), 400.0, 1e-9);
    EXPECT_EQ(solve["variables"][1]["fixed"], true);
    EXPECT_EQ(solve["equations"][0]["freed"], true);
    EXPECT_EQ(solve["equations"][1]["freed"], false);
    // A freed equation keeps its residual at the solution in the output.
    EXPECT_NEAR(solve["equations"][0]["residual"].get<double>(), 60.0, 1e-9);
    // The solver's one row is duty, the model's second equation: reports
    // name it (as the file writes it), not the model's first.
    EXPECT_EQ(solve["history"][0]["worst_equation"], "duty");
    EXPECT_EQ(solve["history"][0]["worst_scaled_equation"], "duty");
    EXPECT_EQ(solve["largest_residual"]["equation"], "duty");
    EXPECT_EQ(solve["largest_scaled_residual"]["equation"], "duty");
}

TEST(tool_solve_setup, the_square_check_counts_swaps_and_names_what_to_fix_or_free) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--free", "T_spec"},
         "the system is not square: 2 equations, 1 freed, 2 variables, 0 fixed, so 1 equation "
         "for 2 unknowns; fix 1 more variable with --fix SYMBOL=VALUE (among T and Q), or free "
         "fewer equations"},
        {{"--fix", "Q=800"},
         "the system is not square: 2 equations, 2 variables, 1 fixed, so 2 equations for 1 "
         "unknown; free 1 more equation with --free EQUATION (among T_spec and duty), or fix "
         "fewer variables (among Q)"},
        {{"--fix", "Q=800", "--fix", "T=1"},
         "the system is not square: 2 equations, 2 variables, 2 fixed, so 2 equations for 0 "
         "unknowns; free 2 more equations with --free EQUATION (among T_spec and duty), or fix "
         "fewer variables (among T and Q)"},
        // Any letter case names the equation, so this counts it freed.
        {{"--free", "t_spec"},
         "the system is not square: 2 equations, 1 freed, 2 variables, 0 fixed, so 1 equation "
         "for 2 unknowns; fix 1 more variable with --fix SYMBOL=VALUE (among T and Q), or free "
         "fewer equations"},
        {{"--free", "T_spek"},
         "--free T_spek: the model has no equation 'T_spek'; did you mean T_spec?"},
    };
    const TempModelFile model(temperature_set_by_an_equation());
    for (const auto& c : cases) {
        const ProgramRun run = run_quillon(solve_json(model.path(), c.arguments));
        EXPECT_EQ(run.exit_code, 2) << testing::PrintToString(run);
        EXPECT_EQ(run.err, "quillon: error: " + c.message + "\n");
    }
}

TEST(tool_solve_setup, start_takes_an_earlier_result_by_symbol) {
    const TempModelFile model(linear_pair());
    for (const std::string format : {"json", "csv"}) {
        const ProgramRun first = run_quillon({"solve", model.path(), "--format", format});
        ASSERT_EQ(first.exit_code, 0) << testing::PrintToString(first);
        const TempModelFile result(first.out);
        const ProgramRun again = run_quillon(solve_json(model.path(), {"--start", result.path()}));
        ASSERT_EQ(again.exit_code, 0) << format << '\n' << testing::PrintToString(again);
        EXPECT_EQ(again.json()["iterations"], 0) << format;
        EXPECT_EQ(again.err, "") << format;
    }
}

TEST(tool_solve_setup, start_names_the_symbols_it_cannot_place_and_at_overrides_it) {
    const TempModelFile model(linear_pair());
    const TempModelFile result(
        "symbol,name,value,fixed\nx,X,2,false\n\"z,1\",Z,5,false\n"
        "y,Y,nan,false\n");
    const ProgramRun run =
        run_quillon(solve_json(model.path(), {"--start", result.path(), "--at", "y=1"}));
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    EXPECT_EQ(run.json()["iterations"], 0);
    EXPECT_EQ(run.err, "quillon: warning: --start " + result.path() +
                           ": no model variable has the symbol z,1; its value is not used\n");
}

// A result says whether it is a solution, and --start heeds it: a warning,
// or a refusal under --strict, for one that did not converge.
TEST(tool_solve_setup, start_from_a_result_that_did_not_converge_warns_or_is_refused) {
    const TempModelFile model(square_plus(-4, 3));  // x^2 = 4 from x = 3
    const struct {
        std::vector<std::string> writer;  // options of the solve that writes the result
        std::string format;
        std::string command;  // reads the result
        bool strict;
        int exit_code;
        const char* says;  // on stderr, after the result's path; "" for nothing
    } cases[] = {
        {{}, "csv", "solve", true, 0, ""},
        {{}, "json", "solve", true, 0, ""},
        {{"--max-iter", "1"}, "csv", "solve", false, 0, "warning"},
        {{"--max-iter", "1"}, "json", "solve", false, 0, "warning"},
        {{"--max-iter", "1"}, "csv", "eval", false, 0, "warning"},
        {{"--max-iter", "1"}, "json", "check", false, 0, "warning"},
        {{"--max-iter", "1"}, "csv", "solve", true, 2, "error"},
        {{"--max-iter", "1"}, "json", "check", true, 2, "error"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> writer{"solve", model.path(), "--format", c.format};
        writer.insert(writer.end(), c.writer.begin(), c.writer.end());
        const ProgramRun written = run_quillon(writer);
        const TempModelFile result(written.out);
        std::vector<std::string> reader{c.command, model.path(), "--start", result.path()};
        if (c.strict) {
            reader.push_back("--strict");
        }
        const ProgramRun run = run_quillon(reader);
        const std::string label = testing::PrintToString(c.writer) + " " + c.format + " " +
                                  c.command + (c.strict ? " --strict" : "");
        EXPECT_EQ(run.exit_code, c.exit_code) << label << testing::PrintToString(run);
        const std::string said = std::string("quillon: ") + c.says + ": --start " + result.path() +
                                 ": the solve that wrote it did not converge (Not converged, "
                                 "iteration-limit), so its values are where that solve stopped, "
                                 "not a solution" +
                                 (c.exit_code == 2 ? "; --strict refuses it" : "") + "\n";
        EXPECT_EQ(run.err, *c.says ? said : "") << label;
    }
}

// A CSV written before results carried their status is taken as it is.
TEST(tool_solve_setup, a_result_without_a_status_is_taken_even_when_strict) {
    const TempModelFile model(square_plus(-4, 3));
    const TempModelFile result("symbol,name,value,fixed,description\nx,X,2.5,false,\n");
    const ProgramRun run = run_quillon(
        solve_json(model.path(), {"--start", result.path(), "--strict", "--max-iter", "0"}));
    EXPECT_EQ(run.exit_code, 1) << testing::PrintToString(run);
    EXPECT_EQ(run.json()["variables"][0]["value"], 2.5);
    EXPECT_EQ(run.err,
              "quillon: solve stopped: " + run.json()["message"].get<std::string>() + "\n");
}

TEST(tool_solve_setup, a_start_file_that_is_no_result_is_refused) {
    const TempModelFile model(linear_pair());
    const struct {
        std::string text;
        std::string why;
    } cases[] = {
        {"{\"variables\": [{\"symbol\": \"x\"}]}",
         "each of \"variables\" needs a \"symbol\" text and a \"value\""},
        {"{\"status\": \"Converged\"}", "a JSON result holds a \"variables\" list"},
        {"{\"variables\": [", ""},
        {"name,value\nx,1\n", "a CSV result has a \"symbol\" column"},
        {"symbol,value\nx,one\n", "line 2 has no symbol and value"},
    };
    for (const auto& c : cases) {
        const TempModelFile result(c.text);
        const ProgramRun run = run_quillon(solve_json(model.path(), {"--start", result.path()}));
        EXPECT_EQ(run.exit_code, 2) << c.text;
        const std::string prefix = "quillon: error: --start " + result.path() + ": ";
        EXPECT_EQ(run.err.rfind(prefix + c.why, 0), 0u) << run.err;
    }
}

// x + y = 3 given twice: the solve reaches a root on the line of roots and
// must say that it is not isolated; check, started from that result, names
// the pair, and so does eval's starting point.
// x + y = 3 said twice leaves a line of solutions: no success, the unknowns
// that move along it and the equations that repeat each other named, and the
// doctor finds the same pair at the point the solve ended.
TEST(tool_solve_setup, a_continuum_of_solutions_is_not_unique_and_checked_from_it) {
    const TempModelFile model(
        "var x = 1\nvar y = 1\nvar z = 1\n"
        "eq once: x + y = 3\neq twice: 2*x + 2*y = 6\neq third: x*z = 2\n");
    const ProgramRun solved = run_quillon(solve_json(model.path()));
    ASSERT_EQ(solved.exit_code, 1) << testing::PrintToString(solved);
    EXPECT_EQ(solved.json()["stop_reason"], "not-unique");
    const std::string message = solved.json()["message"];
    EXPECT_NE(message.find("equations once and twice depend on each other"), std::string::npos)
        << message;
    EXPECT_NE(message.find("fix one of those unknowns with --fix"), std::string::npos) << message;
    const TempModelFile result(solved.out);
    const ProgramRun checked =
        run_quillon({"check", model.path(), "--start", result.path(), "--format", "json"});
    EXPECT_EQ(checked.exit_code, 1) << testing::PrintToString(checked);
    EXPECT_NE(checked.out.find("dependent-equations"), std::string::npos) << checked.out;
    const ProgramRun evaluated =
        run_quillon({"eval", model.path(), "--start", result.path(), "--format", "json"});
    ASSERT_EQ(evaluated.exit_code, 0) << testing::PrintToString(evaluated);
    for (std::size_t index = 0; index < 3; ++index) {
        EXPECT_EQ(evaluated.json()["variables"][index]["value"],
                  solved.json()["variables"][index]["value"]);
    }
}

TEST(tool_solve_setup, sweep_shares_the_checks) {
    const TempModelFile model(x_minus_one({reference("ghost")}, {}));
    const ProgramRun run = run_quillon({"sweep", model.path(), "--vary", "x=1:2:1"});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_NE(run.err.find("quillon: error: equation e refers to 'ghost'"), std::string::npos)
        << run.err;
}

}  // namespace
