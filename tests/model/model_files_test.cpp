// Model files that must load, with what they hold, and files that must fail,
// with the JSON library's exception and its exact text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "model_definition.h"
#include "temp_model_file.h"

namespace {

struct Loaded {
    std::string file;
    std::size_t equations;
    std::size_t variables;
};

class model_files_load : public testing::TestWithParam<Loaded> {};

TEST_P(model_files_load, holds_its_records) {
    TempModelFile file(GetParam().file);
    ModelDefinition model;
    model.load_model(file.path());
    EXPECT_EQ(model.equations().size(), GetParam().equations);
    EXPECT_EQ(model.variables().size(), GetParam().variables);
}

const std::string x_and_y = R"([{"VariableSymbol":"X"},{"VariableSymbol":"Y"}])";

INSTANTIATE_TEST_SUITE_P(
    model_files, model_files_load,
    testing::Values(
        Loaded{"{}", 0, 0}, Loaded{"null", 0, 0}, Loaded{"0", 0, 0}, Loaded{"0.0", 0, 0},
        Loaded{"-0.0", 0, 0}, Loaded{"\xEF\xBB\xBF{}", 0, 0},
        Loaded{R"({"Other":[1,2],"EquationList":null,"Variables":null})", 0, 0},
        Loaded{R"({"EquationList":[{"Type":0},0,{"Type":1}],"Variables":)" + x_and_y + "}", 2, 2},
        Loaded{R"({"EquationList":{"b":{"Type":0},"a":{"Type":1}}})", 2, 0},
        Loaded{R"({"EquationList":0,"Variables":-0.0})", 0, 0},
        Loaded{R"({"Variables":[0,0.0,-0.0,{"VariableSymbol":"X"}]})", 0, 1},
        Loaded{R"({"EquationList":[{"object":{"Type":0},"Type":"not read"}]})", 1, 0},
        Loaded{R"({"Variables":[{"object":{"VariableSymbol":0}}]})", 0, 1},
        Loaded{"{\"EquationList\":\r\n[{\"Type\":0}]\r\n}\r\n", 1, 0},
        Loaded{"{\"Variables\":[{\"VariableSymbol\":\"long\nname\"}]}", 0, 1}));

struct Failing {
    std::string file;
    std::string what;
};

class model_files_fail : public testing::TestWithParam<Failing> {};

// Every fault is the JSON library's exception, which the loader never catches.
TEST_P(model_files_fail, with_the_json_library_exception) {
    TempModelFile file(GetParam().file);
    ModelDefinition model;
    try {
        model.load_model(file.path());
        FAIL() << "loaded";
    } catch (const nlohmann::json::exception& error) {
        EXPECT_EQ(error.what(), GetParam().what);
    }
}

const std::string empty_input =
    "[json.exception.parse_error.101] parse error at line 1, column 1: syntax error while "
    "parsing value - unexpected end of input; expected '[', '{', or a literal";
const std::string null_is_not_a_number =
    "[json.exception.type_error.302] type must be number, but is null";
const std::string null_is_not_a_string =
    "[json.exception.type_error.302] type must be string, but is null";
std::string no_lookup_on(const std::string& kind) {
    return "[json.exception.type_error.305] cannot use operator[] with a string argument with " +
           kind;
}

INSTANTIATE_TEST_SUITE_P(
    model_files, model_files_fail,
    testing::Values(
        Failing{"", empty_input}, Failing{"\n\n", empty_input},
        Failing{"   ",
                "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error "
                "while parsing value - unexpected end of input; expected '[', '{', or a literal"},
        // The line ends are dropped, so the fault on the third line is at line 1.
        Failing{"{\n\"a\":\n1,}\n",
                "[json.exception.parse_error.101] parse error at line 1, column 8: syntax error "
                "while parsing object key - unexpected '}'; expected string literal"},
        Failing{"{} {}",
                "[json.exception.parse_error.101] parse error at line 1, column 4: syntax error "
                "while parsing value - unexpected '{'; expected end of input"},
        Failing{R"({"EquationList":[{"Type":2,"DoubleValue":1e400}]})",
                "[json.exception.out_of_range.406] number overflow parsing '1e400'"},
        Failing{"[]", no_lookup_on("array")}, Failing{"\"text\"", no_lookup_on("string")},
        Failing{"true", no_lookup_on("boolean")}, Failing{"1", no_lookup_on("number")},
        Failing{R"({"EquationList":[null]})", null_is_not_a_number},
        Failing{R"({"EquationList":[{}]})", null_is_not_a_number},
        Failing{R"({"EquationList":[false]})", no_lookup_on("boolean")},
        Failing{R"({"EquationList":"E1"})", no_lookup_on("string")},
        // An object is a list of its member values, not one node.
        Failing{R"({"EquationList":{"Type":2,"DoubleValue":1}})", no_lookup_on("number")},
        Failing{R"({"EquationList":[[]]})", no_lookup_on("array")},
        Failing{R"({"EquationList":[{"Type":"0"}]})",
                "[json.exception.type_error.302] type must be number, but is string"},
        Failing{R"({"EquationList":[{"Type":2}]})", null_is_not_a_number},
        Failing{R"({"EquationList":[{"Type":2,"DoubleValue":true}]})",
                "[json.exception.type_error.302] type must be number, but is boolean"},
        Failing{R"({"EquationList":[{"Type":3}]})", null_is_not_a_string},
        Failing{R"({"EquationList":[{"Type":4,"StringValue":4}]})",
                "[json.exception.type_error.302] type must be string, but is number"},
        Failing{R"({"EquationList":[{"Type":6,"SubExpressions":[]}]})", null_is_not_a_string},
        Failing{R"({"EquationList":[{"Type":0,"EquationName":7}]})",
                "[json.exception.type_error.302] type must be string, but is number"},
        Failing{R"({"EquationList":[{"Type":0,"SubExpressions":[null]}]})", null_is_not_a_number},
        Failing{R"({"EquationList":[{"object":"x","Type":0}]})", no_lookup_on("string")},
        Failing{R"({"Variables":[null]})", null_is_not_a_string},
        Failing{R"({"Variables":[{"VariableSymbol":"X","Min":"0"}]})",
                "[json.exception.type_error.302] type must be number, but is string"},
        Failing{R"({"Variables":[{"VariableSymbol":"X","Differential":true}]})",
                no_lookup_on("boolean")},
        Failing{R"({"Variables":[{"VariableSymbol":"X","Differential":[]}]})",
                no_lookup_on("array")},
        Failing{R"({"Variables":[{"VariableSymbol":"X","Differential":{"Type":3}}]})",
                null_is_not_a_string},
        Failing{"\"\xC0\xAF\"",
                "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error "
                "while parsing value - invalid string: ill-formed UTF-8 byte; last read: "
                "'\"\xC0'"}));

TEST(model_files, a_missing_file_reads_as_empty_text) {
    ModelDefinition model;
    try {
        model.load_model("/nonexistent/model.json");
        FAIL() << "loaded";
    } catch (const nlohmann::json::parse_error& error) {
        EXPECT_EQ(error.what(), empty_input);
        EXPECT_EQ(error.byte, 1u);
    }
    EXPECT_TRUE(model.equations().empty());
}

TEST(model_files, a_directory_reads_as_empty_text) {
    ModelDefinition model;
    EXPECT_THROW(model.load_model("/tmp"), nlohmann::json::parse_error);
}

}  // namespace

// The file is read in blocks; a line end may fall anywhere, also across the
// end of a block. A syntax fault after it tells by its column whether each
// byte reached the parser.
struct LineEndCase {
    std::size_t spaces;  // white space before the line end
    std::string line_end;
    std::size_t fault_column;  // where the letter after the line end is found
};

class model_files_line_ends : public testing::TestWithParam<LineEndCase> {};

TEST_P(model_files_line_ends, are_dropped_wherever_they_fall) {
    const LineEndCase& line = GetParam();
    TempModelFile file("[" + std::string(line.spaces, ' ') + line.line_end + "x");
    ModelDefinition model;
    try {
        model.load_model(file.path());
        FAIL() << "loaded";
    } catch (const nlohmann::json::parse_error& error) {
        EXPECT_EQ(error.byte, line.fault_column);
    }
}

std::vector<LineEndCase> line_ends_around_block_ends() {
    std::vector<LineEndCase> cases;
    // Block ends at 2^18 and 2^19 bytes; the bracket takes the first byte.
    for (const std::size_t block_end : {std::size_t{1} << 18, std::size_t{1} << 19}) {
        for (std::size_t spaces = block_end - 3; spaces <= block_end + 1; ++spaces) {
            const std::size_t letter = spaces + 2;
            cases.push_back({spaces, "\r\n", letter});
            cases.push_back({spaces, "\n", letter});
            cases.push_back({spaces, "\r", letter + 1});  // a CR alone stays
            cases.push_back({spaces, "\r\r\n", letter + 1});
            cases.push_back({spaces, "\n\r", letter + 1});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(model_files, model_files_line_ends,
                         testing::ValuesIn(line_ends_around_block_ends()));

TEST(model_files, a_carriage_return_ending_the_file_stays) {
    // The CR is white space after the value either way; kept, it moves the
    // end of input one column on.
    TempModelFile file("[\r");
    ModelDefinition model;
    try {
        model.load_model(file.path());
        FAIL() << "loaded";
    } catch (const nlohmann::json::parse_error& error) {
        EXPECT_EQ(error.byte, 3u);
    }
}
