#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_run.h"

// check's findings about the system as a whole: one small model per fault a
// modeller makes, written as equations, each finding with its kind, equation,
// variable and exact message.
namespace {

struct SystemCase {
    const char* label;
    std::string equations;
    int exit_code;
    std::vector<std::vector<std::string>> findings;  // kind, equation, variable, message
};

std::string text_or_empty(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : "";
}

nlohmann::json checked(const std::string& equations, int exit_code, const char* label) {
    const TempModelFile model(equations);
    const ProgramRun run = run_quillon({"check", model.path(), "--format", "json"});
    EXPECT_EQ(run.exit_code, exit_code) << label << '\n' << run.out << run.err;
    return run.json();
}

void expect_findings(const std::vector<SystemCase>& cases) {
    for (const SystemCase& c : cases) {
        const nlohmann::json check = checked(c.equations, c.exit_code, c.label);
        std::vector<std::vector<std::string>> found;
        for (const nlohmann::json& finding : check["findings"]) {
            found.push_back({finding["kind"].get<std::string>(), text_or_empty(finding["equation"]),
                             text_or_empty(finding["variable"]),
                             finding["message"].get<std::string>()});
        }
        EXPECT_EQ(found, c.findings) << c.label;
    }
}

// Second differences on nodes 1..300 between T[0] = 1 and, unless
// `last_equation` says otherwise, T[301] = 2: one coupled block of 301
// equations, beyond the size that the dense factorisation takes.
std::string long_rod(const std::string& last_equation = "eq right: T[301] = 2\n") {
    return "var T[i] = 1 for i in 0..301\neq left: T[0] = 1\n"
           "eq inner[i]: T[i-1] - 2*T[i] + T[i+1] = 0 for i in 1..300\n" +
           last_equation;
}

// Three pipes in a loop fed at node 1 and drawn at node 3, every pressure
// free and the supply given: the balances repeat the supply, the pressures
// float together. `flow` starts every flow.
std::string floating_loop(const std::string& flow, const std::string& supply) {
    return "var p[n] = 1e5 for n in 1..3\nvar q[k] = " + flow +
           " for k in 1..3\nvar s = 0.1\n"
           "eq pipe[1]: p[1] - p[2] = 1e6*q[1]*abs(q[1])\n"
           "eq pipe[2]: p[2] - p[3] = 1e6*q[2]*abs(q[2])\n"
           "eq pipe[3]: p[1] - p[3] = 1e6*q[3]*abs(q[3])\n"
           "eq node[1]: s = q[1] + q[3]\neq node[2]: q[1] = q[2]\neq node[3]: q[2] + q[3] = 0.1\n"
           "eq supply: s = " +
           supply + "\n";
}

// Rank lost at every point tried is the model's; at the start alone, the
// start's.
TEST(tool_check_system, tells_a_singular_model_from_a_singular_start) {
    expect_findings({
        {"a redundant equation: both = total + diff",
         "var x = 1\nvar y = 1\nvar z = 1\n"
         "eq total: x + y + z = 3\neq diff: x - y = 1\neq both: 2*x + z = 4\n",
         1,
         {{"dependent-equations", "both", "",
           "at the starting point and at 3 points inside the bounds, equations total, diff and "
           "both are numerically dependent in variables x, y and z, and their residuals, though "
           "not 0, cancel in the same combination: one of them (both) adds nothing to the "
           "others, and the unknowns x, y and z can move together without changing any "
           "residual; drop or correct one of the equations, or fix one of those unknowns in its "
           "place"}}},
        {"a singular start: K = 1 makes d rr / d V vanish",
         "var T = 300\nvar K = 1\nvar V = 0.5\n"
         "eq setT: T = 350\neq kdef: K = exp(0.01*(T - 300))\neq rr: (K - 1)*V = 0.2\n",
         0,
         {{"singular-start", "rr", "V",
           "the Jacobian is singular at the starting point although its structure is not: "
           "derivatives the structure needs are 0 there (d rr / d V), so equations setT, kdef and "
           "rr cannot determine variables T, K and V; start from other values (--at)"}}},
        {"a singular start without a vanished derivative: x*y = 2 and x + y = 3 at x = y",
         "var x = 1\nvar y = 1\neq product: x*y = 2\neq total: x + y = 3\n",
         0,
         {{"singular-start", "product", "",
           "at the starting point, equations product and total are numerically dependent in "
           "variables x and y, though not at interior point 1: the start is singular there, the "
           "model in general is not; start from other values (--at)"}}},
        {"a vanishing derivative hides a redundant equation: the loop at rest",
         floating_loop("0", "0.1"),
         1,
         {{"dependent-equations", "node[3]", "",
           "at the starting point and at 3 points inside the bounds, equations node[1], "
           "node[2], node[3] and supply are numerically dependent in variables q[1], q[2], q[3] "
           "and s, and their residuals, though not 0, cancel in the same combination: one of "
           "them (node[3]) adds nothing to the others, and the unknowns p[1], p[2] and p[3] can "
           "move together without changing any residual; drop or correct one of the equations, "
           "or fix one of those unknowns in its place"},
          {"singular-start", "pipe[1]", "",
           "at the starting point, equations pipe[1], pipe[2] and pipe[3] are numerically "
           "dependent in variables p[1], p[2] and p[3], though not at interior point 1: the start "
           "is singular there, the model in general is not; start from other values (--at)"}}},
        {"a contradicting loop: the supply is not what is drawn",
         floating_loop("0.05", "0.2"),
         1,
         {{"contradicting-equations", "node[3]", "",
           "at the starting point and at 3 points inside the bounds, equations node[1], "
           "node[2], node[3] and supply contradict each other: they are numerically dependent in "
           "variables q[1], q[2], q[3] and s, and the same combination of their residuals is 0.1 "
           "at every point, so no values satisfy them all (as a loop that something enters "
           "and nothing leaves has no steady state); correct one of them"}}},
        {"a sound square model raises nothing",
         "var x = 1\nvar y = 1\neq a: x + y = 3\neq b: x - y = 1\n",
         0,
         {}},
    });
}

// A system that is not square gets the numerical rank too: the dependent
// sets to drop one of each, the unknowns to fix one of each, where the
// matching alone would point elsewhere.
TEST(tool_check_system, advises_on_systems_that_are_not_square) {
    expect_findings({
        {"over-determined: the matching would drop d, but a and b repeat each other",
         "var x = 1\nvar y = 1\nvar z = 1\n"
         "eq a: x + y = 3\neq b: 2*x + 2*y = 6\neq c: z = 1\neq d: x - y = 1\n",
         0,
         {{"not-square", "", "",
           "4 equations in 3 variables: 1 equation too many; equations a and b are numerically "
           "dependent: dropping one of them (b) leaves a square system whose Jacobian is regular "
           "at the starting point"}}},
        {"over-determined and contradicting",
         "var x = 1\neq a: x = 1\neq b: 2*x = 3\n",
         1,
         {{"not-square", "", "",
           "2 equations in 1 variable: 1 equation too many; equations a and b are numerically "
           "dependent: dropping one of them (b) leaves a square system whose Jacobian is regular "
           "at the starting point"},
          {"contradicting-equations", "b", "",
           "at the starting point and at 3 points inside the bounds, equations a and b "
           "contradict each other: they are numerically dependent in variables x, and the same "
           "combination of their residuals is -1 at every point, so no values satisfy them all "
           "(as a loop that something enters and nothing leaves has no steady state); correct "
           "one of them"}}},
        {"under-determined: the matching would fix z, which a and b determine",
         "var x = 1\nvar y = 1\nvar z = 1\neq a: x + y + z = 6\neq b: x + y - z = 2\n",
         0,
         {{"not-square", "", "",
           "2 equations in 3 variables: 1 degree of freedom; the unknowns x and y can move "
           "together without changing any residual: fixing one of them (y) leaves a square "
           "system whose Jacobian is regular at the starting point"}}},
        {"under-determined in two directions, one an unknown no equation uses",
         "var x = 1\nvar y = 1\nvar z = 1\nvar w = 1\neq a: x + y = 3\neq b: y - z = 1\n",
         0,
         {{"not-square", "", "",
           "2 equations in 4 variables: 2 degrees of freedom; the unknowns can move in 2 "
           "directions without changing any residual (x, y and z; w): fixing one of each (z and "
           "w) leaves a square system whose Jacobian is regular at the starting point"}}},
    });
}

// Scaling is reported only where it matters: beyond what double precision
// carries, or where the Jacobian, rows and columns scaled to 1, is still
// ill-conditioned and the equation or variable is among the most involved.
TEST(tool_check_system, reports_scaling_and_conditioning_only_where_they_matter) {
    expect_findings({
        {"factors of 1e9 and 1e-15 are scaling a solver that scales takes in its stride",
         "var x = 1\nvar y = 1\nvar p = 1e5\n"
         "eq a: x*1e-15 + y = 2\neq b: y = 1\neq big: 1e9*(p - 2e5) = 0\n",
         0,
         {}},
        {"factors of 1e17 and 1e-17 are beyond double precision",
         "var x = 1\nvar y = 1\nvar p = 1e5\n"
         "eq a: x*1e-17 + y = 2\neq b: y = 1\neq big: 1e17*(p - 2e5) = 0\n",
         0,
         {{"badly-scaled-equation", "big", "",
           "the derivatives of equation big reach 1e+17 at the starting point, against a median "
           "of 1 over all equations, a spread beyond the 16 digits of double precision; dividing "
           "it by 1e+17 would bring it in line"},
          {"badly-scaled-variable", "", "x",
           "the derivatives by x are at most 1e-17 of the largest in their equations at the "
           "starting point, against a median of 1 over all variables, a spread beyond the 16 "
           "digits of double precision; x measured in units 1e+17 times as large would bring "
           "them in line"}}},
        {"close to dependent rows are ill-conditioned, not dependent",
         "var x = 1\nvar y = 1\neq a: x + y = 2\neq b: x + 1.00000001*y = 2\n",
         0,
         {{"ill-conditioned", "b", "",
           "at the starting point, the Jacobian's condition number (rows and columns scaled to 1) "
           "is about 4.000e+08, above 6.711e+07: Newton steps lose about 9 of the 16 digits of "
           "double precision; equations a and b and variables x and y are the most involved: "
           "check that those equations say different things"}}},
        {"ill-conditioned where the badly scaled are involved",
         "var x = 1\nvar y = 1\nvar z = 1\neq a: 1e7*x + y = 2\neq b: 1e7*x + 1.00000001*y = 2\n"
         "eq c: z = 1\n",
         0,
         {{"ill-conditioned", "a", "",
           "at the starting point, the Jacobian's condition number (rows and columns scaled to 1) "
           "is about 4.000e+08, above 6.711e+07: Newton steps lose about 9 of the 16 digits of "
           "double precision; equations a and b and variables x and y are the most involved: "
           "check that those equations say different things"},
          {"badly-scaled-variable", "", "y",
           "the derivatives by y are at most 1.00000001e-07 of the largest in their equations at "
           "the starting point, against a median of 1 over all variables, and it is among the "
           "most involved in the Jacobian's ill-conditioning; y measured in units 10000000 times "
           "as large would bring them in line"}}},
        // Beyond the dense factorisation's 200 equations, the sparse LU's
        // near-null combination picks the rows for it.
        {"a block of 301 equations, one repeating another",
         long_rod("eq again: 2*T[150] - T[149] - T[151] = 0\n"),
         1,
         {{"dependent-equations", "again", "",
           "at the starting point and at 3 points inside the bounds, equations inner[150] and "
           "again are numerically dependent in variables T[149], T[150] and T[151]: one of them "
           "(again) adds nothing to the others, and the unknowns T[1], T[2], T[3], T[4], T[5], "
           "T[6], T[7], T[8], T[9], T[10] and 291 more can move together without changing any "
           "residual; drop or correct one of the equations, or fix one of those unknowns in its "
           "place"}}},
        {"a block of 301 equations, one close to repeating another",
         long_rod("eq again: 2*T[150] - T[149] - 1.00000001*T[151] = 0\n"),
         0,
         {{"ill-conditioned", "inner[150]", "",
           "at the starting point, the Jacobian's condition number (rows and columns scaled to 1) "
           "is about 1.800e+11, above 6.711e+07: Newton steps lose about 11 of the 16 digits of "
           "double precision; equations inner[150] and again and variables T[30], T[31], T[32], "
           "T[33], T[34], T[35], T[36], T[37], T[38], T[39] and 262 more are the most involved: "
           "check that those equations say different things"}}},
        {"a sound block of 301 equations raises nothing", long_rod(), 0, {}},
    });
}

TEST(tool_check_system, drop_fix_and_their_sets_list_the_names) {
    const nlohmann::json under =
        checked("var x = 1\nvar y = 1\nvar z = 1\nvar w = 1\neq a: x + y = 3\neq b: y - z = 1\n", 0,
                "under");
    EXPECT_EQ(under["findings"][0]["fix"], nlohmann::json({"z", "w"}));
    EXPECT_EQ(under["findings"][0]["null_directions"],
              nlohmann::json::array({{"x", "y", "z"}, {"w"}}));
    const nlohmann::json over = checked("var x = 1\neq a: x = 1\neq b: 2*x = 2\n", 0, "over");
    EXPECT_EQ(over["findings"][0]["drop"], nlohmann::json({"b"}));
    EXPECT_EQ(over["findings"][0]["dependent_sets"],
              nlohmann::json::array({nlohmann::json::array({"a", "b"})}));
}

}  // namespace
