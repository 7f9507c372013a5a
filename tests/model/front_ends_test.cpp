// The loader's two readings of a model file's text: the strict reader, which
// reads valid text straight from the file's chunks, and the JSON library,
// which reads the file's joined lines and judges every text the strict
// reader refuses. Each case is a place where the two could part; the loader
// must build the same model or raise the same exception either way, the
// strict reader must accept or refuse as the case says, and where it
// accepts, its events must be the library's, however the chunks fall.
#include <gtest/gtest.h>

#include <string>

#include "front_ends.h"
#include "temp_model_file.h"
#include "worked_example.h"

namespace {

struct TextCase {
    std::string name;
    std::string text;
    bool accepted;  // by the strict reader
};

void PrintTo(const TextCase& text_case, std::ostream* out) {
    *out << text_case.name;
}

std::string with_symbol(const std::string& symbol) {
    return R"({"Variables":[{"VariableSymbol":")" + symbol + R"("}]})";
}

std::string with_min(const std::string& number) {
    return R"({"Variables":[{"VariableSymbol":"x","Min":)" + number + "}]}";
}

// A node `depth` sums deep, each the only child of the one above it.
std::string nested_sums(std::size_t depth) {
    std::string text = R"({"EquationList":[)";
    for (std::size_t i = 0; i < depth; ++i) {
        text += R"({"Type":0,"SubExpressions":[)";
    }
    text += R"({"Type":2,"DoubleValue":1})";
    for (std::size_t i = 0; i < depth; ++i) {
        text += "]}";
    }
    return text + "]}";
}

std::string nested_arrays(std::size_t depth) {
    return R"({"Other":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

const TextCase text_cases[] = {
    {"worked_example", worked_example, true},
    {"worked_example_with_crlf", "\r\n" + std::string(worked_example) + "\r\n", true},
    // NUL: the library takes one between tokens for the end of the text.
    {"nul_after_the_value", std::string("{}\0junk", 7), false},
    {"nul_between_tokens", std::string("[1,\0 2]", 7), false},
    {"nul_in_a_string", with_symbol(std::string("a\0b", 3)), false},
    {"escaped_nul_in_a_string", with_symbol("a\\u0000b"), true},
    // Line ends: the library reads the lines joined, so one inside a token
    // is not there for it.
    {"line_feed_in_a_number", with_min("1\n2"), false},
    {"crlf_in_a_literal",
     R"({"EquationList":tr)"
     "\r\nue}",
     false},
    {"line_feed_in_a_string", with_symbol("a\nb"), false},
    {"crlf_in_an_escape", with_symbol("\\u00\r\n41"), false},
    {"line_ends_between_tokens", "{\n\"Variables\"\r\n:\n[\r\n]\n}\n", true},
    {"carriage_return_alone", "{\r}\r", true},
    {"carriage_return_ending_the_file", std::string(worked_example) + "\r", true},
    // Byte order marks.
    {"byte_order_mark", "\xEF\xBB\xBF" + std::string(worked_example), true},
    {"broken_byte_order_mark", "\xEF\xBB{}", false},
    {"byte_order_mark_after_space", " \xEF\xBB\xBF{}", false},
    {"byte_order_mark_split_by_a_line_end", "\xEF\xBB\n\xBF{}", false},
    {"byte_order_mark_alone", "\xEF\xBB\xBF", false},
    // Nesting has no limit.
    {"deeply_nested_sums", nested_sums(20000), true},
    {"deeply_nested_arrays", nested_arrays(100000), true},
    {"unclosed_nesting", std::string(1000, '['), false},
    // Repeated keys: the reader's to resolve, the last counting.
    {"repeated_keys", R"({"EquationList":[{"Type":1,"Type":2,"DoubleValue":3,"DoubleValue":4}]})",
     true},
    {"repeated_lists", R"({"Variables":[{"VariableSymbol":"a"}],"Variables":{"k":0}})", true},
    // Numbers at the edges of their kinds and of the double's range.
    {"integer_limits",
     "[-9223372036854775808,-9223372036854775809,18446744073709551615,18446744073709551616,-0]",
     true},
    {"huge_number", with_min("1e400"), false},
    {"huge_negative_number", with_min("-1.8e308"), false},
    {"largest_double", with_min("1.7976931348623157e308"), true},
    {"tiny_numbers", "[1e-400,4.9e-324,2.4703282292062328e-324,2.4703282292062327e-324,-0.0]",
     true},
    {"long_mantissas",
     "[0.1000000000000000055511151231257827021181583404541015625,"
     "9007199254740993,9007199254740993.0,123456789012345678901234567890e-10]",
     true},
    {"exponent_forms", "[1E5,1e+5,1e-5,0.5E-0,-0e0]", true},
    {"leading_zero", with_min("01"), false},
    {"bare_fraction", with_min(".5"), false},
    {"empty_fraction", with_min("1."), false},
    {"empty_exponent", with_min("1e"), false},
    {"plus_sign", with_min("+1"), false},
    {"minus_alone", with_min("-"), false},
    {"number_ending_the_file", "12", true},
    {"literal_cut_by_the_end", "tru", false},
    // UTF-8 as the library checks it, and escapes.
    {"four_byte_character", with_symbol("\xF0\x9F\x98\x80"), true},
    {"every_length", with_symbol("a\xC3\xA9\xE2\x82\xAC\xF4\x8F\xBF\xBF"), true},
    {"lone_continuation_byte", with_symbol("a\x80"), false},
    {"overlong_slash", with_symbol("\xC0\xAF"), false},
    {"overlong_three_bytes", with_symbol("\xE0\x80\xAF"), false},
    {"encoded_surrogate", with_symbol("\xED\xA0\x80"), false},
    {"above_the_last_code_point", with_symbol("\xF4\x90\x80\x80"), false},
    {"cut_sequence", with_symbol("\xE2\x82"), false},
    {"byte_outside_strings", "{}\xFF", false},
    {"surrogate_pair", with_symbol("\\ud83d\\ude00\\uD83D\\uDE00"), true},
    {"lone_high_surrogate", with_symbol("\\ud800"), false},
    {"lone_low_surrogate", with_symbol("\\udc00"), false},
    {"high_surrogate_then_other", with_symbol("\\ud800\\u0041"), false},
    {"escapes", with_symbol("\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9"), true},
    {"unknown_escape", with_symbol("\\x41"), false},
    {"short_unicode_escape", with_symbol("\\u12"), false},
    {"raw_tab_in_a_string", with_symbol("a\tb"), false},
    // What may follow the value.
    {"white_space_after", std::string(worked_example) + " \t\n", true},
    {"second_value", "{} {}", false},
    {"trailing_comma", "{},", false},
    {"comma_before_the_end", R"({"Variables":[0,]})", false},
    {"word_after", "{}x", false},
    {"empty_text", "", false},
    {"only_white_space", " \r\n\t", false},
    // Documents that are no object: the reader's fault, not the text's.
    {"scalar_document", "\"x\"", true},
    {"null_document", "null", true},
};

class front_ends : public testing::TestWithParam<TextCase> {};

TEST_P(front_ends, build_the_same_model_or_raise_the_same_fault) {
    const TempModelFile file(GetParam().text);
    EXPECT_EQ(load_outcome(file.path(), TextReading::strict_first),
              load_outcome(file.path(), TextReading::json_library));
}

TEST_P(front_ends, strict_reading_accepts_what_it_should_with_the_library_s_events) {
    const TempModelFile file(GetParam().text);
    std::string expected;
    const bool library_whole = library_events(file.path(), expected);
    for (const std::size_t chunk_bytes : {FileChunks::CHUNK_BYTES, std::size_t{1}, std::size_t{2},
                                          std::size_t{3}, std::size_t{7}}) {
        std::string events;
        const StrictReading verdict = strict_events(file.path(), chunk_bytes, events);
        EXPECT_EQ(verdict == StrictReading::accepted, GetParam().accepted) << chunk_bytes;
        if (verdict == StrictReading::accepted) {
            EXPECT_TRUE(library_whole);
            EXPECT_EQ(events, expected) << chunk_bytes;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(model, front_ends, testing::ValuesIn(text_cases),
                         [](const testing::TestParamInfo<TextCase>& text_case) {
                             return text_case.param.name;
                         });

// A file that cannot be read as text: both readings give the library's fault
// of an empty text.
TEST(front_ends, a_path_that_is_no_file_reads_as_empty_text) {
    for (const char* path : {"/nonexistent/model.json", "/tmp", "/dev/null"}) {
        EXPECT_EQ(load_outcome(path, TextReading::strict_first),
                  load_outcome(path, TextReading::json_library))
            << path;
        std::string events;
        EXPECT_EQ(strict_events(path, FileChunks::CHUNK_BYTES, events), StrictReading::refused);
    }
}

// A handler that stops the reading ends it at once.
TEST(front_ends, a_handler_that_returns_false_stops_the_reading) {
    struct StopAtKey : JsonEvents {
        bool key(std::string_view) { return false; }
    };
    const TempModelFile file(worked_example);
    FileChunks text(file.path());
    StopAtKey handler;
    EXPECT_EQ(read_strict_json(text, handler), StrictReading::stopped);
    EXPECT_EQ(handler.log(), "{ ");
}

}  // namespace
