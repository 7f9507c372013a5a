#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// The host holds names upper-cased; every output names equations and
// variables as the file writes them, with the descriptions the file gives,
// so that what is printed can be typed back to any option that takes a name.
namespace {

using namespace tool_models;

// Names in mixed case, two of them described; each equation sets one variable.
const char* const MIXED_CASE_MODEL = R"eq(
var T_feed = 300 in [200, 600] "feed temperature / K"
var Flow = 1 in [0, ] "mass flow / (kg/s)"
var x[i] = 1 for i in 1..2
eq Heat_Bal: T_feed = 310
eq flowSpec: Flow = 2
eq mix[i]: x[i] = i*Flow for i in 1..2
)eq";

const std::set<std::string> EQUATIONS{"Heat_Bal", "flowSpec", "mix[1]", "mix[2]"};
const std::vector<std::string> HOST_EQUATION_NAMES{"HEAT_BAL", "FLOWSPEC", "MIX["};
const std::vector<std::string> HOST_VARIABLE_NAMES{"T_FEED", "X["};

// Every member of `document` that names an equation, at any depth.
void collect_equation_names(const nlohmann::json& document, std::vector<std::string>& names) {
    if (document.is_array()) {
        for (const nlohmann::json& element : document) {
            collect_equation_names(element, names);
        }
        return;
    }
    if (!document.is_object()) {
        return;
    }
    for (const auto& [key, value] : document.items()) {
        if ((key == "equation" || key == "worst_equation" || key == "worst_scaled_equation") &&
            value.is_string()) {
            names.push_back(value.get<std::string>());
        } else if ((key == "equations" || key == "equation_list") && value.is_array()) {
            for (const nlohmann::json& equation : value) {
                names.push_back(equation.at("name").get<std::string>());
            }
        } else {
            collect_equation_names(value, names);
        }
    }
}

TEST(tool_names, text_output_shows_the_files_names_and_descriptions) {
    const TempModelFile model(MIXED_CASE_MODEL);
    const struct {
        std::vector<std::string> arguments;
        int exit_code;
        bool describes;  // prints a table of variables
        const char* shows = "";
    } cases[] = {
        {{"info", model.path()}, 0, true},
        {{"eval", model.path()}, 0, true},
        {{"solve", model.path()}, 0, true},
        {{"solve", model.path(), "--max-iter", "0"}, 1, true},
        {{"solve", model.path(), "--format", "csv"}, 0, true},
        {{"check", model.path(), "--at", "Flow=0"}, 0, false},
        {{"sweep", model.path(), "--free", "FLOWSPEC", "--vary", "flow=1:2:1"},
         0,
         false,
         "Sweep of Flow from 1"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = run_quillon(c.arguments);
        const std::string label = testing::PrintToString(c.arguments);
        ASSERT_EQ(run.exit_code, c.exit_code) << label << testing::PrintToString(run);
        // CSV keeps the host's names in its "name" column, for scripts.
        std::vector<std::string> absent = HOST_EQUATION_NAMES;
        if (c.arguments.back() != "csv") {
            absent.insert(absent.end(), HOST_VARIABLE_NAMES.begin(), HOST_VARIABLE_NAMES.end());
        }
        for (const std::string& host_name : absent) {
            EXPECT_EQ((run.out + run.err).find(host_name), std::string::npos)
                << label << " prints " << host_name << '\n'
                << run.out << run.err;
        }
        EXPECT_NE(run.out.find(c.shows), std::string::npos) << label << '\n' << run.out;
        if (c.describes) {
            EXPECT_NE(run.out.find("feed temperature / K"), std::string::npos) << label;
            EXPECT_NE(run.out.find("mass flow / (kg/s)"), std::string::npos) << label;
        }
    }
}

TEST(tool_names, json_output_names_equations_as_the_file_does_and_describes_variables) {
    const TempModelFile model(MIXED_CASE_MODEL);
    const struct {
        std::vector<std::string> arguments;
        const char* variables;  // the member listing the variables, if any
    } cases[] = {
        {{"info", model.path()}, "variable_list"},
        {{"eval", model.path()}, "variables"},
        {{"solve", model.path()}, "variables"},
        {{"solve", model.path(), "--max-iter", "0"}, "variables"},
        {{"check", model.path()}, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--format", "json"});
        const ProgramRun run = run_quillon(arguments);
        const std::string label = testing::PrintToString(arguments);
        ASSERT_NE(run.exit_code, 2) << label << testing::PrintToString(run);
        const nlohmann::json document = run.json();
        std::vector<std::string> names;
        collect_equation_names(document, names);
        for (const std::string& name : names) {
            EXPECT_EQ(EQUATIONS.count(name), 1u) << label << ": " << name;
        }
        if (c.variables) {
            const nlohmann::json& variables = document.at(c.variables);
            ASSERT_EQ(variables.size(), 4u) << label;
            EXPECT_EQ(variables[0]["symbol"], "T_feed") << label;
            EXPECT_EQ(variables[0]["name"], "T_FEED") << label;  // the host's, as before
            EXPECT_EQ(variables[0]["description"], "feed temperature / K") << label;
            EXPECT_EQ(variables[1]["description"], "mass flow / (kg/s)") << label;
            EXPECT_EQ(variables[2]["description"], "") << label;
        }
    }
}

// Each name eval prints, typed back to each option that takes a name.
TEST(tool_names, printed_names_are_taken_back_by_every_option_that_takes_a_name) {
    const TempModelFile model(MIXED_CASE_MODEL);
    const nlohmann::json eval = run_quillon({"eval", model.path(), "--format", "json"}).json();
    ASSERT_EQ(eval["equations"].size(), 4u);
    for (std::size_t index = 0; index < 4; ++index) {
        // Equation n sets variable n, so freeing one and fixing the other
        // keeps the system square.
        const std::string equation = eval["equations"][index]["name"];
        const std::string symbol = eval["variables"][index]["symbol"];
        const std::vector<std::vector<std::string>> uses = {
            {"eval", model.path(), "--at", symbol + "=300"},
            {"check", model.path(), "--at", symbol + "=300"},
            {"solve", model.path(), "--free", equation, "--fix", symbol + "=300"},
            {"sweep", model.path(), "--free", equation, "--vary", symbol + "=250:300:1", "--output",
             symbol},
            {"show", model.path(), "--equation", equation},
        };
        for (const std::vector<std::string>& arguments : uses) {
            const ProgramRun run = run_quillon(arguments);
            EXPECT_EQ(run.exit_code, 0)
                << testing::PrintToString(arguments) << testing::PrintToString(run);
        }
    }
}

// The solve's verdict names its culprits as the file does.
TEST(tool_names, stop_messages_name_equations_as_the_file_does) {
    const TempModelFile model(model_text(
        {equation(
            "Sq_Root", sum({function("sqrt", reference("Level")), number(-1)}),
            {entry("Level", product({number(0.5), power(reference("Level"), number(-0.5))}))})},
        {variable("Level", {0.0, 0.0, 4.0})}));
    const ProgramRun run = run_quillon({"solve", model.path()});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("d Sq_Root / d Level at Level = 0"), std::string::npos) << run.err;
}

}  // namespace
