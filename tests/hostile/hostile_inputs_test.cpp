#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "hostile_host.h"
#include "repeat_text.h"
#include "small_stack.h"
#include "temp_model_file.h"

// Model files built to break a loader: deep nesting, huge texts and counts,
// numbers at the edges of double, broken encodings, odd paths. Each must end
// in the JSON library's exception or a sound model, on a small stack, without
// a crash, a hang or runaway memory. Each case prints its outcome and time.
namespace {

constexpr std::size_t MILLION = 1000000;

std::string one_variable(const std::string& equations) {
    return R"({"Variables":[{"VariableSymbol":"x","Initial":2}],"EquationList":[)" + equations +
           "]}";
}

// An equation `x - value` whose number member is the text `number`.
std::string equation_with_number(const std::string& number) {
    return one_variable(
        R"({"EquationName":"E","Type":0,"SubExpressions":[{"Type":4,"StringValue":"x"},{"Type":2,"DoubleValue":)" +
        number + "}]}");
}

struct HostileFile {
    const char* name;
    std::function<std::string()> text;
    const char* outcome;  // as run_host_path describes it
};

void print_row(const char* name, const HostOutcome& got) {
    std::printf("| %-34s | %-36s | %8.3f s |\n", name, got.text.c_str(), got.seconds);
}

const HostileFile hostile_files[] = {
    {"10^6 nested plain arrays",
     [] {
         return one_variable(R"({"Type":0,"SubExpressions":)" + repeat("[", MILLION) +
                             repeat("]", MILLION) + "}");
     },
     "json 305"},
    {"10^6 nested SubExpressions",
     [] {
         return one_variable(repeat(R"({"Type":0,"SubExpressions":[)", MILLION) +
                             R"({"Type":4,"StringValue":"x"})" + repeat("]}", MILLION));
     },
     "loaded 1 variables, 1 equations"},
    {"10^6 nested Differential trees",
     [] {
         return one_variable(R"({"Type":4,"StringValue":"x","Variables":[{"VariableSymbol":"x",)"
                             R"("Differential":)" +
                             repeat(R"({"Type":1,"SubExpressions":[)", MILLION) +
                             R"({"Type":2,"DoubleValue":1})" + repeat("]}", MILLION) + "}]}");
     },
     "loaded 1 variables, 1 equations"},
    {"10^6 nested guard objects",
     [] {
         return one_variable(R"({"Type":0,"object":)" + repeat(R"({"object":)", MILLION) + "null" +
                             repeat("}", MILLION) + "}");
     },
     "loaded 1 variables, 1 equations"},
    {"50 MB string",
     [] {
         return one_variable(R"({"Type":3,"StringValue":"1)" + std::string(50 << 20, '0') + "\"}");
     },
     "error: stof argument out of range"},
    {"10^6 tiny equations",
     [] {
         std::string equations = R"({"Type":4,"StringValue":"x"})";
         equations.reserve(28 * MILLION);
         for (std::size_t i = 1; i < MILLION; ++i) {
             equations += R"(,{"Type":4,"StringValue":"x"})";
         }
         return one_variable(equations);
     },
     "loaded 1 variables, 1000000 equations"},
    {"one variable referenced 10^6 times",
     [] {
         return one_variable(R"({"Type":0,"SubExpressions":[{"Type":4,"StringValue":"x"})" +
                             repeat(R"(,{"Type":4,"StringValue":"x"})", MILLION - 1) + "]}");
     },
     "loaded 1 variables, 1 equations"},
    {"number 1e400", [] { return equation_with_number("1e400"); }, "json 406"},
    {"number -1e400", [] { return equation_with_number("-1e400"); }, "json 406"},
    {"number 2^64", [] { return equation_with_number("18446744073709551616"); },
     "loaded 1 variables, 1 equations"},
    {"number -0.0", [] { return equation_with_number("-0.0"); }, "loaded 1 variables, 1 equations"},
    {"number 1e-400", [] { return equation_with_number("1e-400"); },
     "loaded 1 variables, 1 equations"},
    {"Type 2^64", [] { return one_variable(R"({"Type":18446744073709551616})"); },
     "loaded 1 variables, 1 equations"},
    {"invalid UTF-8", [] { return one_variable("{\"EquationName\":\"\xff\"}"); }, "json 101"},
    {"overlong UTF-8 encoding", [] { return one_variable("{\"EquationName\":\"\xc0\xaf\"}"); },
     "json 101"},
    {"lone surrogate escape", [] { return one_variable(R"({"EquationName":"\ud800"})"); },
     "json 101"},
    {"byte order mark alone", [] { return std::string("\xef\xbb\xbf"); }, "json 101"},
    {"NUL byte inside a string",
     [] { return one_variable(std::string("{\"EquationName\":\"a\0b\"}", 21)); }, "json 101"},
    // The JSON library reads a NUL outside strings as the end of its input.
    {"NUL byte before the document", [] { return std::string("\0{\"EquationList\":[]}", 20); },
     "json 101"},
    {"NUL byte after the document",
     [] { return std::string("{\"EquationList\":[]}\0garbage", 27); },
     "loaded 0 variables, 0 equations"},
    {"escaped NUL inside a symbol",
     [] { return R"({"Variables":[{"VariableSymbol":"x\u0000y"}],"EquationList":[]})"; },
     "loaded 1 variables, 0 equations"},
    {"duplicate keys",
     [] { return one_variable(R"({"Type":2,"DoubleValue":1,"Type":4,"StringValue":"x"})"); },
     "loaded 1 variables, 1 equations"},
};

TEST(hostile_inputs, end_in_an_exception_or_a_sound_model) {
    LoadedPlugin plugin;
    for (const HostileFile& hostile : hostile_files) {
        SCOPED_TRACE(hostile.name);
        const TempModelFile file(hostile.text());
        HostOutcome got;
        run_on_small_stack([&] { got = run_model_file(plugin.factory(), file.path()); });
        print_row(hostile.name, got);
        EXPECT_EQ(got.text, hostile.outcome);
        EXPECT_FALSE(plugin.blocks_alive());
    }
}

// What the sound outcomes above computed: the host got the right numbers.
TEST(hostile_inputs, deep_and_wide_trees_evaluate_to_their_values) {
    LoadedPlugin plugin;
    const struct {
        const char* name;
        std::string text;
        double residual;
    } cases[] = {
        {"deep sums",
         one_variable(repeat(R"({"Type":0,"SubExpressions":[)", MILLION) +
                      R"({"Type":4,"StringValue":"x"})" + repeat("]}", MILLION)),
         2.0},
        {"wide sum",
         one_variable(R"({"Type":0,"SubExpressions":[{"Type":4,"StringValue":"x"})" +
                      repeat(R"(,{"Type":4,"StringValue":"x"})", MILLION - 1) + "]}"),
         2.0 * MILLION},
        {"later duplicate key wins",
         one_variable(R"({"Type":2,"DoubleValue":1,"Type":4,"StringValue":"x"})"), 2.0},
        {"1e-400 reads as 0", equation_with_number("1e-400"), 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempModelFile file(c.text);
        HostLists lists;
        run_on_small_stack([&] { run_model_file(plugin.factory(), file.path(), &lists); });
        EXPECT_EQ(lists.first_residual, c.residual);
    }
}

TEST(hostile_inputs, huge_names_are_registered_shortened) {
    LoadedPlugin plugin;
    const std::string symbol(100000, 's');
    const std::string name(100000, 'e');
    const TempModelFile file(R"({"Variables":[{"VariableSymbol":")" + symbol +
                             R"("}],"EquationList":[{"EquationName":")" + name +
                             R"(","Type":4,"StringValue":")" + symbol + R"("}]})");
    HostLists lists;
    const HostOutcome got = run_model_file(plugin.factory(), file.path(), &lists);
    print_row("10^5-byte symbol and name", got);
    EXPECT_EQ(got.text, "loaded 1 variables, 1 equations");
    EXPECT_EQ(lists.first_variable_name, std::string(1031, 'S'));
    EXPECT_EQ(lists.first_equation_name, std::string(1031, 'E'));
}

// Paths that are not regular files: nothing to wait for, nothing endless to
// read; they fail like an empty file.
TEST(hostile_inputs, paths_that_are_not_files_fail_without_hanging) {
    LoadedPlugin plugin;
    char folder[] = "/tmp/quillon-hostile-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string fifo = std::string(folder) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"a directory", folder},
        {"a FIFO without writer", fifo},
        {"/dev/zero", "/dev/zero"},
        {"a missing file", std::string(folder) + "/missing.json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HostOutcome got = run_model_file(plugin.factory(), c.path);
        print_row(c.name, got);
        EXPECT_EQ(got.text, "json 101");
    }
    std::remove(fifo.c_str());
    rmdir(folder);
}

// The parameter text in every length around the copy the factory keeps.
TEST(hostile_inputs, parameter_texts_of_any_length) {
    LoadedPlugin plugin;
    const struct {
        std::size_t length;
        const char* outcome;
    } cases[] = {
        {0, "json 101"},    {6, "json 101"},      {1023, "json 101"},
        {1024, "json 101"}, {100000, "json 101"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text = std::string("model=").substr(0, c.length) +
                                 std::string(c.length > 6 ? c.length - 6 : 0, 'p');
        const value_t parameter = text_parameter(text.c_str());
        const HostOutcome got = run_host_path(plugin.factory(), &parameter);
        const std::string row = "parameter of " + std::to_string(c.length) + " characters";
        print_row(row.c_str(), got);
        EXPECT_EQ(got.text, c.outcome);
    }
}

}  // namespace
