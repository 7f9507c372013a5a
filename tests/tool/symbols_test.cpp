#include <gtest/gtest.h>

#include <string>

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
        {{"number", 1}, {"symbol", "x"}, {"name", "X"}, {"value", 0.0}},
        {{"number", 2}, {"symbol", ACCENTED}, {"name", ACCENTED_NAME}, {"value", 2.0}},
        {{"number", 3}, {"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}},
        {{"number", 4}, {"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}},
    };
    EXPECT_EQ(run.json()["variables"], expected);
}

TEST(tool_symbols, fix_takes_symbols_as_written) {
    const TempModelFile model(accented_model());
    const ProgramRun run = run_quillon(
        {"solve", model.path(), "--fix", ACCENTED + "=2", "--fix", "dup=5", "--format", "json"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json expected = {
        {{"symbol", "x"}, {"name", "X"}, {"value", 1.0}, {"fixed", false}, {"bound", nullptr}},
        {{"symbol", ACCENTED},
         {"name", ACCENTED_NAME},
         {"value", 2.0},
         {"fixed", true},
         {"bound", nullptr}},
        {{"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}, {"fixed", true}, {"bound", nullptr}},
        {{"symbol", "dup"}, {"name", "DUP"}, {"value", 5.0}, {"fixed", true}, {"bound", nullptr}},
    };
    EXPECT_EQ(run.json()["variables"], expected);
}

// The host's names are no symbols: an upper-cased symbol names nothing.
TEST(tool_symbols, names_that_are_not_symbols_are_usage_errors) {
    const TempModelFile model(accented_model());
    const struct {
        std::string option;
        std::string symbol;
    } cases[] = {{"--at", "X"}, {"--at", ACCENTED_NAME}, {"--fix", "DUP"}, {"--at", "ghost"}};
    for (const auto& c : cases) {
        const std::string command = c.option == "--fix" ? "solve" : "eval";
        const ProgramRun run = run_quillon({command, model.path(), c.option, c.symbol + "=1"});
        EXPECT_EQ(run.exit_code, 2) << c.symbol;
        EXPECT_EQ(run.err, "quillon: error: " + c.option + " " + c.symbol +
                               ": the model has no variable '" + c.symbol + "'\n");
    }
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
