#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// The exit codes scripts rely on: 0 success, 1 no convergence or check
// errors, 2 a model that cannot be loaded or evaluated, or wrong usage; and
// on 2, one line on stderr that says why.
namespace {

using namespace tool_models;

constexpr const char* MODEL = "{model}";

struct ExitCase {
    const char* label;
    std::string model;  // written to a file that replaces "{model}" in the arguments
    std::vector<std::string> arguments;
    int exit_code;
    std::string err;  // all that stderr holds
    // Only the beginning of stderr: the rest is the solver's, which its own
    // tests check.
    bool err_begins = false;
};

std::vector<std::string> with_model(std::vector<std::string> arguments, const std::string& path) {
    for (std::string& argument : arguments) {
        if (argument == MODEL) {
            argument = path;
        }
    }
    return arguments;
}

void expect_cases(const std::vector<ExitCase>& cases) {
    for (const ExitCase& c : cases) {
        const TempModelFile model(c.model);
        const ProgramRun run = run_quillon(with_model(c.arguments, model.path()));
        EXPECT_EQ(run.exit_code, c.exit_code) << c.label << '\n' << testing::PrintToString(run);
        EXPECT_EQ(c.err_begins ? run.err.substr(0, c.err.size()) : run.err, c.err) << c.label;
    }
}

TEST(tool_exit_codes, success_and_failure_of_each_command) {
    const std::string wrong_derivative = wrong_square_derivative(1.0);
    expect_cases({
        {"info", linear_pair(), {"info", MODEL}, 0, ""},
        {"eval", linear_pair(), {"eval", MODEL, "--at", "x=1"}, 0, ""},
        {"clean check", linear_pair(), {"check", MODEL}, 0, ""},
        {"check with a warning only", one_equation_two_variables(), {"check", MODEL}, 0, ""},
        {"check with an error", wrong_derivative, {"check", MODEL}, 1, ""},
        {"solve converges", linear_pair(), {"solve", MODEL}, 0, ""},
        {"solve without a root",
         square_plus(1, 1),
         {"solve", MODEL},
         1,
         "quillon: solve stopped: ",
         true},
        {"solve out of iterations",
         linear_pair(),
         {"solve", MODEL, "--max-iter", "0"},
         1,
         "quillon: solve stopped: no convergence in 0 iterations",
         true},
    });
}

TEST(tool_exit_codes, usage_errors_exit_2) {
    expect_cases({
        {"no model", "", {"solve"}, 2, "quillon: error: MODEL is required\n"},
        {"unknown option",
         linear_pair(),
         {"info", MODEL, "--frobnicate"},
         2,
         "quillon: error: The following argument was not expected: --frobnicate\n"},
        // A word too many after a command is no unknown command.
        {"extra argument",
         linear_pair(),
         {"info", MODEL, "extra"},
         2,
         "quillon: error: The following argument was not expected: extra\n"},
        {"csv for info",
         linear_pair(),
         {"info", MODEL, "--format", "csv"},
         2,
         "quillon: error: --format: 'csv' is none of json|text\n"},
        {"unknown format",
         linear_pair(),
         {"solve", MODEL, "--format", "xml"},
         2,
         "quillon: error: --format: 'xml' is none of csv|json|text\n"},
        {"format by number",
         linear_pair(),
         {"solve", MODEL, "--format", "1"},
         2,
         "quillon: error: --format: '1' is none of csv|json|text\n"},
        {"unknown --at symbol",
         linear_pair(),
         {"eval", MODEL, "--at", "z=1"},
         2,
         "quillon: error: --at z: the model has no variable 'z'; did you mean x or y?\n"},
        {"unknown --at symbol in check",
         linear_pair(),
         {"check", MODEL, "--at", "z=1"},
         2,
         "quillon: error: --at z: the model has no variable 'z'; did you mean x or y?\n"},
        {"unknown --fix symbol",
         linear_pair(),
         {"solve", MODEL, "--fix", "z=1"},
         2,
         "quillon: error: --fix z: the model has no variable 'z'; did you mean x or y?\n"},
        {"--at without a value",
         linear_pair(),
         {"eval", MODEL, "--at", "x"},
         2,
         "quillon: error: --at: 'x' is not of the form SYMBOL=VALUE\n"},
        {"--at not a number",
         linear_pair(),
         {"eval", MODEL, "--at", "x=1.5e"},
         2,
         "quillon: error: --at: '1.5e' in 'x=1.5e' is not a number\n"},
        {"--fix without a symbol",
         linear_pair(),
         {"solve", MODEL, "--fix", "=1"},
         2,
         "quillon: error: --fix: '=1' is not of the form SYMBOL=VALUE\n"},
        {"tolerance 0",
         linear_pair(),
         {"solve", MODEL, "--tol", "0"},
         2,
         "quillon: error: --tol: '0' is not a number greater than 0\n"},
        {"tolerance not a number",
         linear_pair(),
         {"solve", MODEL, "--tol", "nan"},
         2,
         "quillon: error: --tol: 'nan' is not a number greater than 0\n"},
        {"negative iterations",
         linear_pair(),
         {"solve", MODEL, "--max-iter", "-1"},
         2,
         "quillon: error: --max-iter: '-1' is not a number of at least 0\n"},
        {"missing model file",
         "",
         {"info", "/nonexistent/model.json"},
         2,
         "quillon: error: MODEL: File does not exist: /nonexistent/model.json\n"},
        {"model is a folder",
         "",
         {"solve", "/tmp"},
         2,
         "quillon: error: MODEL: File is actually a directory: /tmp\n"},
    });
}

// A model file's fault is the JSON library's exception with its own text,
// whichever command meets it, and never a crash; the tool adds the member's place.
TEST(tool_exit_codes, model_fault_exits_2_with_the_json_library_text) {
    const TempModelFile model(x_minus({{"Type", 2}, {"DoubleValue", nullptr}}));
    for (const char* command : {"info", "eval", "check", "solve", "show"}) {
        const ProgramRun run = run_quillon({command, model.path()});
        EXPECT_EQ(run.exit_code, 2) << command;
        EXPECT_EQ(run.err, "quillon: error: " + model.path() +
                               ": at /EquationList/0/SubExpressions/1/SubExpressions/1/"
                               "DoubleValue: [json.exception.type_error.302] type must be "
                               "number, but is null\n")
            << command;
        EXPECT_EQ(run.out, "") << command;
    }
}

TEST(tool_exit_codes, evaluation_fault_exits_2_with_its_text) {
    const TempModelFile model(x_minus(numeric_text("one")));
    for (const char* command : {"eval", "solve"}) {
        const ProgramRun run = run_quillon({command, model.path()});
        EXPECT_EQ(run.exit_code, 2) << command;
        EXPECT_EQ(run.err, "quillon: error: invalid stof argument\n") << command;
    }
}

const std::vector<std::string> COMMANDS{"info", "eval", "check", "solve", "build", "show", "bench"};
const std::string COMMAND_LIST = "info, eval, check, solve, build, show or bench";

// The first word of each line under "Subcommands:" in `quillon --help`.
std::vector<std::string> help_commands(const std::string& help) {
    std::istringstream lines(help.substr(help.find("Subcommands:\n") + 13));
    std::vector<std::string> commands;
    std::string line;
    while (std::getline(lines, line) && !line.empty()) {
        commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return commands;
}

// Without a command, or with a word that is none, the tool names every
// command it has: the same as its help lists, each of which answers --help.
TEST(tool_exit_codes, bare_and_unknown_commands_name_every_command) {
    const ProgramRun help = run_quillon({"--help"});
    EXPECT_EQ(help_commands(help.out), COMMANDS);
    for (const std::string& command : COMMANDS) {
        const ProgramRun run = run_quillon({command, "--help"});
        EXPECT_EQ(run.exit_code, 0) << command;
        EXPECT_NE(run.out.find("\nUsage: quillon " + command + " "), std::string::npos) << run.out;
    }
    const ProgramRun bare = run_quillon({});
    EXPECT_EQ(bare.exit_code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err, "quillon: error: a command is needed: " + COMMAND_LIST + "\n" + help.out);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"frobnicate"}, {"frobnicate", "model.json"}, {"--version", "frobnicate"}}) {
        const ProgramRun run = run_quillon(arguments);
        EXPECT_EQ(run.exit_code, 2) << arguments.front();
        EXPECT_EQ(run.err, "quillon: error: unknown command 'frobnicate'; use one of " +
                               COMMAND_LIST + "\n");
        EXPECT_EQ(run.out, "");
    }
    // An unknown option is not taken for a command.
    EXPECT_EQ(run_quillon({"--frobnicate"}).err,
              "quillon: error: The following argument was not expected: --frobnicate\n");
}

TEST(tool_exit_codes, help_and_version_exit_0) {
    const ProgramRun help = run_quillon({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.out.find("Runs equation models"), 0u) << help.out;
    const ProgramRun version = run_quillon({"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out.rfind("quillon ", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("plug-in QUILLON"), std::string::npos) << version.out;
}

// --plugin is accepted after the command too, and without it the tool loads
// the plug-in built beside it.
TEST(tool_exit_codes, plugin_option_anywhere_and_default) {
    const TempModelFile model(linear_pair());
    const ProgramRun after =
        run_quillon_bare({"info", model.path(), "--plugin", QUILLON_PLUGIN_PATH});
    EXPECT_EQ(after.exit_code, 0) << testing::PrintToString(after);
    const ProgramRun bare = run_quillon_bare({"info", model.path()});
    EXPECT_EQ(bare.exit_code, 0) << testing::PrintToString(bare);
    const ProgramRun missing =
        run_quillon_bare({"info", model.path(), "--plugin", "/nonexistent/libquillon.so"});
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_EQ(missing.err,
              "quillon: error: cannot load plug-in /nonexistent/libquillon.so: "
              "/nonexistent/libquillon.so: cannot open shared object file: No such file or "
              "directory\n");
    const ProgramRun version = run_quillon_bare({"--version", "--plugin", "/nonexistent.so"});
    EXPECT_EQ(version.exit_code, 2);
    EXPECT_EQ(version.out, "");
}

}  // namespace
