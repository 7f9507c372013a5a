#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_run.h"

// Families on the command line: a pattern over indices wherever an option
// takes a symbol or an equation, and solve's choice of what to show.
namespace {

// F splits into Q[1..3]; x[i,j] = i + 10 j. One degree of freedom: F.
const char* const FAMILIES = R"eq(
var F = 1 in [0, ] "feed"
var Q[i] = 1 for i in 1..3
var x[i, j] = 0 for i in 1..2, j in 1..2
eq split[i]: Q[i] = F/3 for i in 1..3
eq xs[i, j]: x[i, j] = i + 10*j for i in 1..2, j in 1..2
)eq";

std::vector<std::string> symbols_of(const nlohmann::json& variables) {
    std::vector<std::string> symbols;
    for (const nlohmann::json& variable : variables) {
        symbols.push_back(variable["symbol"]);
    }
    return symbols;
}

TEST(tool_patterns, each_option_that_takes_a_name_takes_a_pattern) {
    const TempModelFile model(FAMILIES);
    const std::string path = model.path();
    using Symbols = std::vector<std::string>;
    const struct {
        std::vector<std::string> arguments;
        int exit_code;
        Symbols shown;       // the variables of the JSON document, in order
        Symbols fixed = {};  // those of them fixed
        double first = 0.0;  // the first one's value
    } cases[] = {
        {{"solve", path, "--fix", "F=3", "--output", "Q[*]"}, 0, {"Q[1]", "Q[2]", "Q[3]"}, {}, 1},
        {{"solve", path, "--fix", "F=3", "--output", "x[*,2]"}, 0, {"x[1,2]", "x[2,2]"}, {}, 21},
        {{"solve", path, "--fix", "F=3", "--output", "x[2, *]", "--output", "F"},
         0,
         {"x[2,1]", "x[2,2]", "F"},
         {"F"},
         12},
        // A symbol named twice shows once.
        {{"solve", path, "--fix", "F=3", "--output", "Q[2..3]", "--output", "q[3]"},
         0,
         {"Q[2]", "Q[3]"},
         {},
         1},
        {{"solve", path, "--fix", "F=3", "--at", "q[*]=0.25", "--max-iter", "0", "--output",
          "Q[*]"},
         1,
         {"Q[1]", "Q[2]", "Q[3]"},
         {},
         0.25},
        {{"solve", path, "--fix", "F=3", "--free", "split[2..3]", "--fix", "Q[2..3]=7", "--output",
          "Q[*]"},
         0,
         {"Q[1]", "Q[2]", "Q[3]"},
         {"Q[2]", "Q[3]"},
         1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--format", "json"});
        const ProgramRun run = run_quillon(arguments);
        const std::string label = testing::PrintToString(c.arguments);
        ASSERT_EQ(run.exit_code, c.exit_code) << label << testing::PrintToString(run);
        const nlohmann::json variables = run.json()["variables"];
        EXPECT_EQ(symbols_of(variables), c.shown) << label;
        Symbols fixed;
        for (const nlohmann::json& variable : variables) {
            if (variable["fixed"]) {
                fixed.push_back(variable["symbol"]);
            }
        }
        EXPECT_EQ(fixed, c.fixed) << label;
        EXPECT_NEAR(variables[0]["value"].get<double>(), c.first, 1e-12) << label;
    }
}

TEST(tool_patterns, a_sweep_varies_and_shows_a_family) {
    const TempModelFile model(FAMILIES);
    const ProgramRun shown = run_quillon(
        {"sweep", model.path(), "--vary", "F=3:6:1", "--output", "Q[*]", "--format", "csv"});
    ASSERT_EQ(shown.exit_code, 0) << testing::PrintToString(shown);
    EXPECT_EQ(shown.out,
              "F,Q[1],Q[2],Q[3],iterations,solves,status,stop_reason\n"
              "3.0,1.0,1.0,1.0,1,1,Converged,converged\n"
              "6.0,2.0,2.0,2.0,1,1,Converged,converged\n");
    // Varied together: the column is the pattern, as typed.
    const ProgramRun varied =
        run_quillon({"sweep", model.path(), "--fix", "F=3", "--free", "split[*]", "--vary",
                     "Q[*]=1:2:1", "--output", "x[1,1]", "--format", "json"});
    ASSERT_EQ(varied.exit_code, 0) << testing::PrintToString(varied);
    EXPECT_EQ(varied.json()["vary"], "Q[*]");
    EXPECT_EQ(varied.json()["points"].size(), 2u);
}

TEST(tool_patterns, a_pattern_that_names_nothing_is_a_usage_error) {
    const TempModelFile model(FAMILIES);
    const std::string path = model.path();
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"solve", path, "--fix", "F=3", "--output", "Q[*,1]"},
         "--output Q[*,1]: the variables Q[...] have 1 index, not 2 (Q[1] to Q[3])"},
        {{"solve", path, "--fix", "F=3", "--at", "R[*]=1"},
         "--at R[*]: the model has no variables R[...]; did you mean F, Q[*] or x[*,*]?"},
        {{"solve", path, "--fix", "Q[5..9]=1"},
         "--fix Q[5..9]: no variable matches Q[5..9]; the variables Q[...] run from Q[1] to Q[3]"},
        {{"solve", path, "--fix", "F=3", "--free", "xs[*,3]"},
         "--free xs[*,3]: no equation matches xs[*,3]; the equations xs[...] run from xs[1,1] to "
         "xs[2,2]"},
        {{"sweep", path, "--vary", "Q[*,*]=1:2:1"},
         "--vary Q[*,*]: the variables Q[...] have 1 index, not 2 (Q[1] to Q[3])"},
        {{"eval", path, "--at", "x[1..z,1]=0"},
         "--at x[1..z,1]: the index range '1..z' is not of the form FIRST..LAST in whole "
         "numbers"},
        {{"show", path, "--equation", "spilt[*]"},
         "--equation: the model has no equations spilt[...]; did you mean split[*]?"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = run_quillon(c.arguments);
        EXPECT_EQ(run.exit_code, 2) << testing::PrintToString(run);
        EXPECT_EQ(run.err, "quillon: error: " + c.message + "\n")
            << testing::PrintToString(c.arguments);
    }
}

TEST(tool_patterns, show_prints_every_equation_a_pattern_names) {
    const TempModelFile model(FAMILIES);
    const ProgramRun run = run_quillon({"show", model.path(), "--equation", "xs[2,*]"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    EXPECT_EQ(run.out.find("eq xs[1,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("eq xs[2,1]:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("eq xs[2,2]:"), std::string::npos) << run.out;
}

TEST(tool_patterns, quiet_leaves_out_the_log_alone) {
    const TempModelFile model(FAMILIES);
    const ProgramRun loud = run_quillon({"solve", model.path(), "--fix", "F=3"});
    const ProgramRun quiet = run_quillon({"solve", model.path(), "--fix", "F=3", "--quiet"});
    ASSERT_EQ(quiet.exit_code, 0) << testing::PrintToString(quiet);
    const std::size_t status = loud.out.find("Status");
    ASSERT_NE(status, std::string::npos) << loud.out;
    EXPECT_NE(loud.out.find("iter  largest"), std::string::npos);
    EXPECT_EQ(quiet.out.rfind("Status", 0), 0u) << quiet.out;
    // Past the log, the same lines but the times.
    const auto without_time = [](std::string text) {
        const std::size_t time = text.find("Time ");
        return text.erase(time, text.find('\n', time) - time);
    };
    EXPECT_EQ(without_time(quiet.out), without_time(loud.out.substr(status)));
}

}  // namespace
