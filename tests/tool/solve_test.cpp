#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// solve through the plug-in: variables fixed by --fix, the squareness they
// must leave, and failures that name the equations and variables concerned.
namespace {

using namespace tool_models;

TEST(tool_solve, fix_specifies_a_variable_and_leaves_it_alone) {
    const TempModelFile model(one_equation_two_variables());
    const ProgramRun run = run_quillon(solve_json(model.path(), {"--fix", "y=1", "--at", "x=7"}));
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json variables = run.json()["variables"];
    EXPECT_NEAR(variables[0]["value"].get<double>(), 2.0, 1e-12);
    EXPECT_EQ(variables[0]["fixed"], false);
    EXPECT_EQ(variables[1]["value"], 1.0);
    EXPECT_EQ(variables[1]["fixed"], true);
}

TEST(tool_solve, a_system_that_is_not_square_is_refused_with_its_counts) {
    const struct {
        std::string model;
        std::vector<std::string> fixes;
        std::string message;
    } cases[] = {
        {one_equation_two_variables(),
         {},
         "the system is not square: 1 equation, 2 variables, 0 fixed, so 1 equation for 2 "
         "unknowns; fix 1 more variable with --fix SYMBOL=VALUE (among x and y)"},
        {one_equation_two_variables(),
         {"--fix", "x=1", "--fix", "y=2"},
         "the system is not square: 1 equation, 2 variables, 2 fixed, so 1 equation for 0 "
         "unknowns; free 1 more equation with --free EQUATION (among sum), or fix fewer "
         "variables (among x and y)"},
        {linear_pair(),
         {"--fix", "x=1"},
         "the system is not square: 2 equations, 2 variables, 1 fixed, so 2 equations for 1 "
         "unknown; free 1 more equation with --free EQUATION (among sum and diff), or fix fewer "
         "variables (among x)"},
    };
    for (const auto& c : cases) {
        const TempModelFile model(c.model);
        const ProgramRun run = run_quillon(solve_json(model.path(), c.fixes));
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(run.err, "quillon: error: " + c.message + "\n");
        EXPECT_EQ(run.json()["error"]["message"], c.message);
    }
}

TEST(tool_solve, failures_name_the_equations_and_variables_concerned) {
    const struct {
        const char* label;
        std::string model;
        std::vector<std::string> extra;
        const char* stop_reason;
        std::string message;
    } cases[] = {
        {"singular at the start",
         square_plus(-4, 0),
         {},
         "singular-jacobian",
         "the Jacobian is singular at the starting point; equations sq cannot each be given an "
         "unknown of their own; unknowns x are determined by no equation; the equations depend "
         "on each other at this point, or their derivatives vanish there: start elsewhere with "
         "--at"},
        {"structurally singular",
         two_equations_in_x(),
         {},
         "singular-jacobian",
         "the Jacobian is singular at the starting point; equations a and b cannot each be given "
         "an unknown of their own; unknowns y are determined by no equation; give those "
         "equations their own unknowns, or fix the undetermined variables with --fix"},
        {"no nonzero at all",
         model_text({equation("c", number(1), {})}, {variable("x")}),
         {},
         "singular-jacobian",
         "the Jacobian is singular at the starting point; equations c cannot each be given an "
         "unknown of their own; unknowns x are determined by no equation; give those equations "
         "their own unknowns, or fix the undetermined variables with --fix"},
        {"NaN residual at the start",
         log_x({-1.0, {}, {}}),
         {},
         "non-finite-residuals",
         "residuals that are NaN or infinite at the starting point in equations log (at x = -1); "
         "start inside the equations' domain with --at, or bound the variables to keep them "
         "there"},
        {"infinite derivative at the start",
         root_at_zero(),
         {},
         "non-finite-derivatives",
         "derivatives that are NaN or infinite at the starting point: d root / d x at x = 0; "
         "start elsewhere with --at, or bound the variables away from that point"},
        {"out of iterations",
         linear_pair(),
         {"--max-iter", "0"},
         "iteration-limit",
         "no convergence in 0 iterations (largest scaled residual 2.500e+00 in equation sum); "
         "raise --max-iter, or start nearer the solution with --at"},
    };
    for (const auto& c : cases) {
        const TempModelFile model(c.model);
        const ProgramRun run = run_quillon(solve_json(model.path(), c.extra));
        ASSERT_EQ(run.exit_code, 1) << c.label << '\n' << testing::PrintToString(run);
        const nlohmann::json solve = run.json();
        EXPECT_EQ(solve["status"], "Not converged") << c.label;
        EXPECT_EQ(solve["stop_reason"], c.stop_reason) << c.label;
        EXPECT_EQ(solve["message"], c.message) << c.label;
        EXPECT_EQ(run.err, "quillon: solve stopped: " + c.message + "\n") << c.label;
    }
}

TEST(tool_solve, plot_draws_the_convergence_history) {
    const TempModelFile model(linear_pair());
    const TempModelFile plot("");
    const ProgramRun run = run_quillon({"solve", model.path(), "--plot", plot.path()});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    std::ifstream in(plot.path());
    std::ostringstream svg;
    svg << in.rdbuf();
    EXPECT_EQ(svg.str().rfind("<svg", 0), 0u) << svg.str().substr(0, 200);
    EXPECT_NE(svg.str().find("Converged"), std::string::npos);
    EXPECT_NE(svg.str().find("</svg>"), std::string::npos);
}

}  // namespace
