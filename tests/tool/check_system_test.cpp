#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_run.h"

// check's findings about the system as a whole at the starting point: one
// model per fault a modeller makes, written as equations, each finding with
// its kind, equation, variable and exact message.
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
    const TempModelFile source(equations);
    const TempModelFile model("");
    const ProgramRun build = run_quillon({"build", source.path(), "-o", model.path()});
    EXPECT_EQ(build.exit_code, 0) << label << '\n' << build.err;
    const ProgramRun run = run_quillon({"check", model.path(), "--format", "json"});
    EXPECT_EQ(run.exit_code, exit_code) << label << '\n' << run.out << run.err;
    return run.json();
}

// Second differences on nodes 1..300 between T[0] = 1 and, unless
// `last_equation` says otherwise, T[301] = 2: one coupled block of 301
// equations, beyond the size that the dense factorisation takes.
std::string long_rod(const std::string& last_equation = "eq right: T[301] = 2\n") {
    return "var T[i] = 1 for i in 0..301\neq left: T[0] = 1\n"
           "eq inner[i]: T[i-1] - 2*T[i] + T[i+1] = 0 for i in 1..300\n" +
           last_equation;
}

TEST(tool_check_system, names_the_equations_and_variables_at_fault) {
    const std::vector<SystemCase> cases{
        {"a redundant equation: both = total + diff",
         "var x = 1\nvar y = 1\nvar z = 1\n"
         "eq total: x + y + z = 3\neq diff: x - y = 1\neq both: 2*x + z = 4\n",
         1,
         {{"dependent-equations", "both", "",
           "at the starting point, equations total, diff and both are numerically dependent in "
           "variables x, y and z: one of them (both) adds nothing to the others; drop or correct "
           "one"}}},
        {"a singular start: K = 1 makes d rr / d V vanish",
         "var T = 300\nvar K = 1\nvar V = 0.5\n"
         "eq setT: T = 350\neq kdef: K = exp(0.01*(T - 300))\neq rr: (K - 1)*V = 0.2\n",
         0,
         {{"singular-start", "rr", "V",
           "the Jacobian is singular at the starting point although its structure is not: "
           "derivatives the structure needs are 0 there (d rr / d V), so equations setT, kdef and "
           "rr cannot determine variables T, K and V; start from other values (--at)"}}},
        {"a badly scaled equation and variable; x*1e-15 + y = 2 is no singularity",
         "var x = 1\nvar y = 1\nvar p = 1e5\n"
         "eq a: x*1e-15 + y = 2\neq b: y = 1\neq big: 1e9*(p - 2e5) = 0\n",
         0,
         {{"badly-scaled-equation", "big", "",
           "the derivatives of equation big reach 1000000000 at the starting point, against a "
           "median of 1 over all equations; dividing it by 1000000000 would bring it in line"},
          {"badly-scaled-variable", "", "x",
           "the derivatives by x are at most 1e-15 of the largest in their equations at the "
           "starting point, against a median of 1 over all variables; x measured in units 1e+15 "
           "times as large would bring them in line"}}},
        {"under-determined: the variables to fix",
         "var x = 1\nvar y = 1\nvar z = 1\nvar w = 1\neq a: x + y = 3\neq b: y - z = 1\n",
         0,
         {{"not-square", "", "",
           "2 equations in 4 variables: 2 degrees of freedom; fixing z and w leaves a square "
           "system that the structure can solve"}}},
        {"over-determined: the equations to drop",
         "var x = 1\neq a: x = 1\neq b: 2*x = 2\n",
         0,
         {{"not-square", "", "",
           "2 equations in 1 variable: 1 equation too many; dropping b leaves a square system "
           "that the structure can solve"}}},
        {"close to dependent rows are ill-conditioned, not dependent",
         "var x = 1\nvar y = 1\neq a: x + y = 2\neq b: x + 1.00000001*y = 2\n",
         0,
         {{"ill-conditioned", "b", "",
           "at the starting point, the Jacobian's condition number (rows and columns scaled to 1) "
           "is about 4.000e+08, above 6.711e+07: Newton steps lose about 9 of the 16 digits of "
           "double precision; equations a and b and variables x and y are the most involved: "
           "check that those equations say different things"}}},
        // Beyond the dense factorisation's 200 equations, the sparse LU's
        // near-null combination picks the rows for it.
        {"a block of 301 equations, one repeating another",
         long_rod("eq again: 2*T[150] - T[149] - T[151] = 0\n"),
         1,
         {{"dependent-equations", "inner[150]", "",
           "at the starting point, equations inner[150] and again are numerically dependent in "
           "variables T[149], T[150] and T[151]: one of them (inner[150]) adds nothing to the "
           "others; drop or correct one"}}},
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
        {"a sound square model raises nothing",
         "var x = 1\nvar y = 1\neq a: x + y = 3\neq b: x - y = 1\n",
         0,
         {}},
    };
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

TEST(tool_check_system, fix_and_drop_list_the_names) {
    const nlohmann::json under =
        checked("var x = 1\nvar y = 1\nvar z = 1\nvar w = 1\neq a: x + y = 3\neq b: y - z = 1\n", 0,
                "under");
    EXPECT_EQ(under["findings"][0]["fix"], nlohmann::json({"z", "w"}));
    const nlohmann::json over = checked("var x = 1\neq a: x = 1\neq b: 2*x = 2\n", 0, "over");
    EXPECT_EQ(over["findings"][0]["drop"], nlohmann::json({"b"}));
}

}  // namespace
