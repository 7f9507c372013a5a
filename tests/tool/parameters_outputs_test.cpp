#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_run.h"

// The equation language's parameters and outputs on the command line: a
// parameter changed by --fix and --vary without editing the model, a
// constant typed where a variable is wanted saying what it is, outputs shown
// with the variables in every format.
namespace {

// T = 290 + Ua/25 with Ua a parameter at 250; n = exp(w) an output of w = T/100.
const char* const heated = R"eq(const c = 25
param Ua = 250 in [0, ] "heat transfer / (W/K)"
var T = 300 "temperature / K"
var w
eq duty: T = 290 + Ua/c
eq scaled: w = T/100
out n = exp(w) "moles"
)eq";

double value_of(const nlohmann::json& list, const std::string& symbol) {
    for (const nlohmann::json& element : list) {
        if (element["symbol"] == symbol) {
            return element["value"].get<double>();
        }
    }
    throw std::runtime_error("no " + symbol);
}

TEST(tool_parameters, fix_and_vary_set_a_parameter_in_place_of_its_equation) {
    const TempModelFile model(heated);
    const ProgramRun held = run_quillon({"solve", model.path(), "--format", "json"});
    ASSERT_EQ(held.exit_code, 0) << testing::PrintToString(held);
    EXPECT_DOUBLE_EQ(value_of(held.json()["variables"], "T"), 300);
    EXPECT_EQ(held.json()["variables"][0]["parameter"], true);
    EXPECT_EQ(held.json()["variables"][0]["fixed"], false);

    const ProgramRun fixed =
        run_quillon({"solve", model.path(), "--fix", "Ua=500", "--format", "json"});
    ASSERT_EQ(fixed.exit_code, 0) << testing::PrintToString(fixed);
    EXPECT_DOUBLE_EQ(value_of(fixed.json()["variables"], "T"), 310);
    EXPECT_DOUBLE_EQ(value_of(fixed.json()["outputs"], "n"), std::exp(3.1));

    const ProgramRun swept = run_quillon({"sweep", model.path(), "--vary", "ua=0:500:2", "--output",
                                          "T", "--output", "n", "--format", "csv"});
    ASSERT_EQ(swept.exit_code, 0) << testing::PrintToString(swept);
    EXPECT_EQ(swept.out,
              "Ua,T,n,iterations,solves,status,stop_reason\n"
              "0.0,290.0,18.17414536944306,1,1,Converged,converged\n"
              "250.0,300.0,20.085536923187668,1,1,Converged,converged\n"
              "500.0,310.0,22.197951281441636,1,1,Converged,converged\n");

    // Freed by hand, the parameter is computed like any unknown.
    const ProgramRun freed =
        run_quillon({"solve", model.path(), "--free", "Ua", "--fix", "T=294", "--format", "json"});
    ASSERT_EQ(freed.exit_code, 0) << testing::PrintToString(freed);
    EXPECT_DOUBLE_EQ(value_of(freed.json()["variables"], "Ua"), 100);
}

TEST(tool_parameters, the_value_table_marks_parameters_and_outputs) {
    const TempModelFile model(heated);
    const ProgramRun run = run_quillon({"solve", model.path()});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const std::string table = run.out.substr(run.out.find("symbol"));
    EXPECT_EQ(table,
              "symbol        value  lower  upper             description\n"
              "------  -----------  -----  -----  ---------  ---------------------\n"
              "Ua              250      0    inf  parameter  heat transfer / (W/K)\n"
              "T               300   -inf    inf             temperature / K\n"
              "w                 3   -inf    inf\n"
              "n       20.08553692                output     moles\n");
}

TEST(tool_parameters, a_name_that_is_no_variable_says_what_it_is) {
    const TempModelFile model(heated);
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"sweep", model.path(), "--vary", "c=1:2:1"},
         "quillon: error: --vary c: c is a constant of the equations (const c = 25), not a "
         "variable; declare it as a parameter, param c = 25, to change it without editing them\n"},
        {{"solve", model.path(), "--fix", "C=3"},
         "quillon: error: --fix C: c is a constant of the equations (const c = 25), not a "
         "variable; declare it as a parameter, param c = 25, to change it without editing them\n"},
        {{"solve", model.path(), "--fix", "n=3"},
         "quillon: error: --fix n: n is an output, computed from the solution, not a variable\n"},
    };
    for (const auto& each : cases) {
        const ProgramRun run = run_quillon(each.arguments);
        EXPECT_EQ(run.exit_code, 2) << testing::PrintToString(run);
        EXPECT_EQ(run.err, each.error);
    }
}

TEST(tool_outputs, follow_the_variables_in_every_format) {
    const TempModelFile model(heated);
    const ProgramRun csv = run_quillon({"solve", model.path(), "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << testing::PrintToString(csv);
    EXPECT_EQ(csv.out.substr(csv.out.find("\nn,")),
              "\nn,,20.085536923187668,false,moles,Converged,converged\n");

    const ProgramRun json = run_quillon({"eval", model.path(), "--format", "json"});
    ASSERT_EQ(json.exit_code, 0) << testing::PrintToString(json);
    EXPECT_EQ(json.json()["outputs"],
              nlohmann::json::parse(R"([{"symbol":"n","value":1.0,"description":"moles"}])"));

    // A result read back as a starting point: its outputs are no variables
    // to start from, and no cause for a warning.
    const TempModelFile result(csv.out);
    const ProgramRun again = run_quillon({"solve", model.path(), "--start", result.path()});
    EXPECT_EQ(again.exit_code, 0) << testing::PrintToString(again);
    EXPECT_EQ(again.err, "");
}

TEST(tool_outputs, a_sweep_shows_every_unknown_and_output_by_default) {
    const TempModelFile model(heated);
    const ProgramRun run =
        run_quillon({"sweep", model.path(), "--vary", "Ua=0:250:1", "--format", "json"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    EXPECT_EQ(run.json()["outputs"], nlohmann::json::parse(R"(["T", "w", "n"])"));
    EXPECT_DOUBLE_EQ(run.json()["points"][1]["outputs"]["n"].get<double>(), std::exp(3.0));
}

}  // namespace
