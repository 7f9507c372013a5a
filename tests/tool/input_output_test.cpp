// The tool's input and output as a script meets them: equation files and
// standard input as models, faults of input values and of writes refused
// with a sentence naming the fault, the JSON object of a failure, the file's
// own place of a model fault, and names escaped on the terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tool_run.h"

namespace {

const char* const tanks =
    "const N = 3\n"
    "var F = 1 in [0, ]\n"
    "var h[i] = 1 in [0, 10] for i in 1..N\n"
    "var q[i] = 1 in [0, ] for i in 1..N\n"
    "eq feed: F = 1.2\n"
    "eq valve[i]: q[i] = (0.5 + 0.1*i)*sqrt(h[i]) for i in 1..N\n"
    "eq balance[1]: F = q[1]\n"
    "eq balance[i]: q[i-1] = q[i] for i in 2..N\n";

// A model whose symbol and equation name hold ESC and CR, as JSON allows.
const char* const escapes =
    R"({"Variables":[{"VariableSymbol":"x\u001b[2J"}],"EquationList":[{"Type":0,)"
    R"("EquationName":"e\r","SubExpressions":[{"Type":4,"StringValue":"x\u001b[2J"},)"
    R"({"Type":2,"DoubleValue":-1}],"Variables":[{"VariableSymbol":"x\u001b[2J",)"
    R"("Differential":{"Type":2,"DoubleValue":1}}]}]})";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder with the tanks as equations and as a model file, a broken model
// and broken equations; the tool runs there through the shell.
class Folder {
  public:
    Folder() {
        char name[] = "/tmp/quillon-io-XXXXXX";
        folder_ = mkdtemp(name) != nullptr ? name : "";
        std::filesystem::create_directory(folder_ / "tmp");
        write("tanks.eq", tanks);
        write("escapes.json", escapes);
        write("broken.json",
              "{\n  \"Variables\": [\n    {\"VariableSymbol\": \"x\",, \"Initial\": 1}\n  ]\n}\n");
        write("broken.eq", "var x = 1\neq e: x = sqrt(x\n");
        quillon("build tanks.eq -o tanks.json");
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    ProgramRun quillon(const std::string& arguments) const {
        // Private files go to a folder of the test's own, where they can be counted.
        return run_program(
            "sh", {"-c", "cd '" + folder_.string() + "' && TMPDIR='" + file("tmp") +
                             "' '" QUILLON_TOOL_PATH "' --plugin '" QUILLON_PLUGIN_PATH "' " +
                             arguments});
    }

  private:
    std::filesystem::path folder_;
};

struct Refused {
    std::string arguments;  // shell words
    std::string err;        // all of stderr
};

void PrintTo(const Refused& refused, std::ostream* out) {
    *out << refused.arguments;
}

class tool_input_output_faults : public testing::TestWithParam<Refused> {};

// Every fault exits with 2 and one sentence that names it; no input is harmed.
TEST_P(tool_input_output_faults, exit_2_naming_the_fault) {
    const Folder folder;
    const std::string model = read_file(folder.file("tanks.json"));
    const ProgramRun run = folder.quillon(GetParam().arguments);
    EXPECT_EQ(run.exit_code, 2) << run.out;
    EXPECT_EQ(run.err, GetParam().err);
    EXPECT_EQ(read_file(folder.file("tanks.json")), model);
    EXPECT_EQ(read_file(folder.file("tanks.eq")), tanks);
}

INSTANTIATE_TEST_SUITE_P(
    tool_io, tool_input_output_faults,
    testing::Values(
        // Values that are not finite or lie outside a bound.
        Refused{"solve tanks.eq --fix F=nan",
                "quillon: error: --fix: 'nan' in 'F=nan' is not a finite number\n"},
        Refused{"solve tanks.json --at F=1e400",
                "quillon: error: --at: '1e400' in 'F=1e400' is not a finite number\n"},
        Refused{"eval tanks.json --at F=-inf",
                "quillon: error: --at: '-inf' in 'F=-inf' is not a finite number\n"},
        Refused{"solve tanks.eq --fix 'h[1]=11'",
                "quillon: error: --fix h[1]=11: the value is above the upper bound 10 of h[1]\n"},
        Refused{"check tanks.json --at 'q[2]=-0.5'",
                "quillon: error: --at q[2]=-0.5: the value is below the lower bound 0 of q[2]\n"},
        // Writes that fail, standard output included.
        Refused{"check tanks.json --spy /dev/full >/dev/null",
                "quillon: error: cannot write /dev/full: No space left on device\n"},
        Refused{"solve tanks.json --plot /dev/full >/dev/null",
                "quillon: error: cannot write /dev/full: No space left on device\n"},
        Refused{"build tanks.eq >/dev/full",
                "quillon: error: cannot write standard output: No space left on device\n"},
        Refused{"solve tanks.eq >/dev/full",
                "quillon: error: cannot write standard output: No space left on device\n"},
        Refused{"build tanks.eq -o /dev/full",
                "quillon: error: cannot write /dev/full: No space left on device\n"},
        // Outputs that would overwrite an input.
        Refused{"solve tanks.json --plot ./tanks.json >/dev/null",
                "quillon: error: --plot names the input file tanks.json itself\n"},
        Refused{"check tanks.eq --spy tanks.eq",
                "quillon: error: --spy names the input file tanks.eq itself\n"},
        Refused{"build tanks.eq -o tanks.eq",
                "quillon: error: -o names the input file tanks.eq itself\n"},
        // Faults of the model or the equations, at the file's own place.
        Refused{"solve broken.json",
                "quillon: error: broken.json:3:28: [json.exception.parse_error.101] parse error "
                "at line 1, column 45: syntax error while parsing object key - unexpected ','; "
                "expected string literal\n"},
        Refused{"info broken.eq",
                "broken.eq:2:15: error: this '(' is not closed: expected ')' after the argument "
                "of sqrt, found the end of the text at line 3, column 1\n"},
        Refused{"eval - <broken.eq",
                "<stdin>:2:15: error: this '(' is not closed: expected ')' after the argument "
                "of sqrt, found the end of the text at line 3, column 1\n"},
        Refused{"info .", "quillon: error: MODEL: File is actually a directory: .\n"}),
    [](const testing::TestParamInfo<Refused>& refused) {
        return "case_" + std::to_string(refused.index);
    });

// Equation files and standard input stand for a model in every command, and
// give what the model file gives.
TEST(tool_io, equations_and_stdin_stand_for_the_model) {
    const Folder folder;
    const ProgramRun from_file = folder.quillon("solve tanks.json --format csv");
    ASSERT_EQ(from_file.exit_code, 0) << from_file.err;
    for (const char* arguments : {"solve tanks.eq --format csv", "solve - --format csv <tanks.eq",
                                  "solve - --format csv <tanks.json"}) {
        const ProgramRun run = folder.quillon(arguments);
        EXPECT_EQ(run.exit_code, 0) << arguments << run.err;
        EXPECT_EQ(run.out, from_file.out) << arguments;
    }
    for (const char* arguments :
         {"info tanks.eq", "eval tanks.eq", "check tanks.eq", "bench tanks.eq --repeat 1"}) {
        const ProgramRun run = folder.quillon(arguments);
        EXPECT_EQ(run.exit_code, 0) << arguments << run.err;
    }
    EXPECT_EQ(folder.quillon("show tanks.eq --equation 'valve[2]'").out,
              "eq valve[2]: q[2] - 0.7*sqrt(h[2]) = 0\n"
              "  # d/d q[2] = 1\n"
              "  # d/d h[2] = -0.35*h[2]^-0.5\n");
    // The private copies are gone once each command ends.
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
}

// With --format json a failure is one JSON object on stdout besides the
// sentence on stderr.
TEST(tool_io, failures_are_a_json_object_with_json_format) {
    const Folder folder;
    const struct {
        const char* arguments;
        const char* document;
    } cases[] = {
        {"solve broken.eq --format json",
         R"({"error":{"kind":"equations","message":"this '(' is not closed: expected ')' after )"
         R"(the argument of sqrt, found the end of the text at line 3, column 1",)"
         R"("place":{"file":"broken.eq","line":2,"column":15}}})"},
        {"check broken.json --format json",
         R"({"error":{"kind":"model","message":"[json.exception.parse_error.101] parse error at )"
         R"(line 1, column 45: syntax error while parsing object key - unexpected ','; expected )"
         R"(string literal","place":{"file":"broken.json","line":3,"column":28}}})"},
        {"info missing.json --format json",
         R"({"error":{"kind":"usage","message":"MODEL: File does not exist: missing.json",)"
         R"("place":null}})"},
        // A file name is bytes: those that are not UTF-8 come as U+FFFD.
        {"info '\xff.json' --format json",
         R"({"error":{"kind":"usage","message":"MODEL: File does not exist: \ufffd.json",)"
         R"("place":null}})"},
        {"solve tanks.eq --format=json --fix 'h[1]=11'",
         R"({"error":{"kind":"usage","message":"--fix h[1]=11: the value is above the upper )"
         R"(bound 10 of h[1]","place":null}})"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = folder.quillon(c.arguments);
        EXPECT_EQ(run.exit_code, 2) << c.arguments;
        EXPECT_EQ(run.json(), nlohmann::json::parse(c.document)) << c.arguments << run.out;
        EXPECT_NE(run.err, "") << c.arguments;
    }
}

// ESC, CR and other control characters in names reach the terminal escaped.
TEST(tool_io, control_characters_in_names_are_escaped) {
    const Folder folder;
    const ProgramRun run = folder.quillon("eval escapes.json");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_NE(run.out.find("x\\x1B[2J"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("e\\x0D"), std::string::npos) << run.out;
    // JSON escapes them itself, and stays JSON.
    EXPECT_EQ(folder.quillon("eval escapes.json --format json").json()["variables"][0]["symbol"],
              "x\x1b[2J");
}

// What a file holds decides whether it is a model or equations, unless its
// name ends in .json: JSON text of any kind, a broken byte order mark
// included, goes to the plug-in, whose own verdict the command reports.
struct ModelText {
    std::string name;
    std::string text;
    int exit_code;
    std::string err;  // a part of stderr; empty: none is written
};

void PrintTo(const ModelText& model, std::ostream* out) {
    *out << model.name << ": " << model.text;
}

class tool_model_texts : public testing::TestWithParam<ModelText> {};

TEST_P(tool_model_texts, go_to_the_plugin_whatever_json_they_hold) {
    const Folder folder;
    folder.write(GetParam().name, GetParam().text);
    const ProgramRun run = folder.quillon("info '" + GetParam().name + "'");
    EXPECT_EQ(run.exit_code, GetParam().exit_code) << run.err;
    if (GetParam().err.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(GetParam().err), std::string::npos) << run.err;
    }
}

const std::string no_lookup =
    "[json.exception.type_error.305] cannot use operator[] with a "
    "string argument with ";

INSTANTIATE_TEST_SUITE_P(
    tool_io, tool_model_texts,
    testing::Values(
        // A document that is null or the number 0 is an empty model.
        ModelText{"null.model", "null", 0, ""}, ModelText{"zero.model", " 0\n", 0, ""},
        ModelText{"minus_zero.model", "-0", 0, ""}, ModelText{"float_zero.model", "0.0", 0, ""},
        ModelText{"minus_float_zero.model", "\xEF\xBB\xBF-0.0", 0, ""},
        // Any other document that is no object is the plug-in's type fault.
        ModelText{"text.model", "\"x\"", 2, no_lookup + "string"},
        ModelText{"true.model", "true", 2, no_lookup + "boolean"},
        ModelText{"false.model", "\r\nfalse", 2, no_lookup + "boolean"},
        ModelText{"number.model", "12", 2, no_lookup + "number"},
        ModelText{"array.model", "[]", 2, no_lookup + "array"},
        // A broken byte order mark is the JSON library's fault.
        ModelText{"mark.model", "\xEF\xBB{}", 2, "invalid BOM"},
        // A .json file is a model file whatever it holds.
        ModelText{"equations.json", "var x = 1\neq e: x = 2\n", 2, "parse_error.101"},
        ModelText{"words.JSON", "nothing", 2, "parse_error.101"},
        // Words that only begin like a JSON literal are equations.
        ModelText{"nullity.model", "nullity", 2, "expected a statement"},
        ModelText{"tanks.model", tanks, 0, ""}),
    [](const testing::TestParamInfo<ModelText>& model) {
        return "case_" + std::to_string(model.index);
    });

// The host holds a name up to a NUL byte, which JSON text may hold escaped;
// the file's names are checked against what the host holds.
TEST(tool_io, names_holding_a_nul_byte_load) {
    const Folder folder;
    folder.write(
        "nul.json",
        R"({"Variables":[{"VariableSymbol":"x\u0000y"}],"EquationList":[{"Type":0,)"
        R"("EquationName":"e\u0000f","SubExpressions":[{"Type":4,"StringValue":"x\u0000y"},)"
        R"({"Type":2,"DoubleValue":-1}],"Variables":[{"VariableSymbol":"x\u0000y",)"
        R"("Differential":{"Type":2,"DoubleValue":1}}]}]})");
    for (const char* command : {"solve nul.json", "eval nul.json", "info nul.json"}) {
        const ProgramRun run = folder.quillon(command);
        EXPECT_EQ(run.exit_code, 0) << command << run.err;
    }
}

// Each command's help ends with an example.
TEST(tool_io, help_ends_with_an_example) {
    for (const char* command : {"info", "eval", "check", "solve", "build", "show", "bench"}) {
        const ProgramRun run = run_quillon_bare({command, "--help"});
        EXPECT_EQ(run.exit_code, 0) << command;
        const std::size_t example = run.out.rfind("Example:\n  quillon " + std::string(command));
        EXPECT_NE(example, std::string::npos) << run.out;
    }
}

}  // namespace
