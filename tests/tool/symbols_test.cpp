#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// Symbols as the model file writes them, which the host's upper-cased names
// lose: the tool shows them and takes them in --at and --fix byte for byte.
namespace {

using namespace tool_models;

const std::string ACCENTED = "t\xc3\xa9mp\xc3\xa9rature_\xce\xb1";  // "température_α"
const std::string ACCENTED_NAME = "T\xc3\xa9MP\xc3\xa9RATURE_\xce\xb1";

// e: x + ACCENTED - 3 = 0, with an entry "ghost" that names no model
// variable; two more variables share the symbol "dup".
std::string accented_model() {
    return model_text(
        {equation("e", sum({reference("x"), reference(ACCENTED), number(-3)}),
                  {entry("x", number(1)), entry(ACCENTED, number(1)), entry("ghost", number(0))})},
        {variable("x"), variable(ACCENTED), variable("dup"), variable("dup")});
}

TEST(tool_symbols, eval_shows_symbols_beside_names_and_at_sets_every_variable_of_one) {
    const TempModelFile model(accented_model());
    const ProgramRun run = run_quillon(
        {"eval", model.path(), "--at", ACCENTED + "=2", "--at", "dup=5", "--format", "json"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json expected = {
        {{"number", 1}, {"symbol", "x"}, {"name", "X"}, {"value", 0.0}, {"description", ""}},
        {{"number", 2},
         {"symbol", ACCENTED},
         {"name", ACCENTED_NAME},
         {"value", 2.0},
         {"description", ""}},
        {{"number", 3}, {"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}, {"description", ""}},
        {{"number", 4}, {"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}, {"description", ""}},
    };
    EXPECT_EQ(run.json()["variables"], expected);
}

TEST(tool_symbols, fix_takes_symbols_as_written) {
    const TempModelFile model(accented_model());
    const ProgramRun run = run_quillon({"solve", model.path(), "--fix", ACCENTED + "=2", "--fix",
                                        "dup=5", "--format", "json", "--force"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    EXPECT_EQ(run.err.rfind("quillon: warning: equation e lists an entry for 'ghost'", 0), 0u);
    const nlohmann::json expected = {
        {{"symbol", "x"},
         {"name", "X"},
         {"value", 1.0},
         {"fixed", false},
         {"parameter", false},
         {"bound", nullptr},
         {"description", ""}},
        {{"symbol", ACCENTED},
         {"name", ACCENTED_NAME},
         {"value", 2.0},
         {"fixed", true},
         {"parameter", false},
         {"bound", nullptr},
         {"description", ""}},
        {{"symbol", "dup"},
         {"name", "DUP"},
         {"value", 5.0},
         {"fixed", true},
         {"parameter", false},
         {"bound", nullptr},
         {"description", ""}},
        {{"symbol", "dup"},
         {"name", "DUP"},
         {"value", 5.0},
         {"fixed", true},
         {"parameter", false},
         {"bound", nullptr},
         {"description", ""}},
    };
    EXPECT_EQ(run.json()["variables"], expected);
}

// The host upper-cases names, so a symbol may be typed in any letter case
// when that names one spelling; a miss suggests the nearest symbols.
TEST(tool_symbols, symbols_are_taken_in_any_letter_case_and_misses_suggest_the_nearest) {
    const TempModelFile model(accented_model());
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::size_t> set;  // positions in "variables" now 7
    } accepted[] = {
        {{"eval", model.path(), "--at", "X=7"}, {0}},
        {{"eval", model.path(), "--at", ACCENTED_NAME + "=7"}, {1}},
        {{"solve", model.path(), "--fix", "DUP=7", "--fix", "x=1", "--max-iter", "0", "--force"},
         {2, 3}}};
    for (const auto& c : accepted) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--format", "json"});
        const ProgramRun run = run_quillon(arguments);
        ASSERT_NE(run.exit_code, 2) << testing::PrintToString(run);
        for (const std::size_t position : c.set) {
            EXPECT_EQ(run.json()["variables"][position]["value"], 7.0) << c.arguments[3];
        }
    }
    const struct {
        std::string option;
        std::string typed;
        std::string message;
    } missed[] = {
        {"--at", "ghost", "the model has no variable 'ghost'"},
        {"--fix", "dupe", "the model has no variable 'dupe'; did you mean dup?"},
        {"--at", "xx", "the model has no variable 'xx'; did you mean x?"},
    };
    for (const auto& c : missed) {
        const std::string command = c.option == "--fix" ? "solve" : "eval";
        const ProgramRun run = run_quillon({command, model.path(), c.option, c.typed + "=1"});
        EXPECT_EQ(run.exit_code, 2) << c.typed;
        EXPECT_EQ(run.err, "quillon: error: " + c.option + " " + c.typed + ": " + c.message + "\n");
    }
}

TEST(tool_symbols, symbols_equal_but_for_case_must_be_typed_as_written) {
    const TempModelFile model(
        model_text({equation("e", sum({reference("Ab"), reference("aB"), number(-3)}),
                             {entry("Ab", number(1)), entry("aB", number(1))})},
                   {variable("Ab"), variable("aB")}));
    const ProgramRun exact =
        run_quillon({"eval", model.path(), "--at", "aB=2", "--format", "json"});
    ASSERT_EQ(exact.exit_code, 0) << exact.err;
    EXPECT_EQ(exact.json()["variables"][1]["value"], 2.0);
    const ProgramRun either = run_quillon({"eval", model.path(), "--at", "ab=2"});
    EXPECT_EQ(either.exit_code, 2);
    EXPECT_EQ(either.err,
              "quillon: error: --at ab: 'ab' matches variables Ab or aB but for letter case; type "
              "one as the file writes it\n");
}

// The nonzero of "ghost" has variable number 0; its entry's symbol names it.
TEST(tool_symbols, text_output_names_the_entry_of_a_nonzero_without_variable) {
    const TempModelFile model(accented_model());
    for (const char* command : {"info", "eval"}) {
        const ProgramRun run = run_quillon({command, model.path()});
        ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
        EXPECT_NE(run.out.find("(none: ghost)"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(ACCENTED), std::string::npos) << run.out;
    }
}

}  // namespace
