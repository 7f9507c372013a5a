#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "json_output.h"

// The object writer that streams the long lists of the tool's JSON output:
// its bytes must be those of the whole document dumped, on every shape the
// commands write, and a fault must leave nothing written.
namespace {

using ordered_json = nlohmann::ordered_json;

// The members of `document`, the arrays under `streamed` keys given element
// by element and the others ready.
std::vector<JsonMember> members_of(const ordered_json& document,
                                   const std::set<std::string>& streamed) {
    std::vector<JsonMember> members;
    for (auto member = document.begin(); member != document.end(); ++member) {
        const ordered_json& value = member.value();
        if (streamed.count(member.key()) > 0) {
            members.emplace_back(member.key(),
                                 JsonArrayStream{value.size(), [&value](std::size_t index) {
                                                     return value[index];
                                                 }});
        } else {
            members.emplace_back(member.key(), value);
        }
    }
    return members;
}

std::string written(const std::vector<JsonMember>& members) {
    std::ostringstream out;
    write_json_object(out, members);
    return out.str();
}

struct Shape {
    const char* name;
    ordered_json document;
    std::set<std::string> streamed;
};

const double infinity = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

const std::vector<Shape> shapes = {
    {"no members", ordered_json::object(), {}},
    {"ready members only",
     {{"status", "Converged"},
      {"at_bounds", ordered_json::array()},
      {"empty", ordered_json::object()},
      {"timing", {{"total_seconds", 2.5e-05}, {"nested", {{"deeper", {1, 2}}}}}}},
     {}},
    {"an empty streamed array",
     {{"before", 1}, {"variables", ordered_json::array()}, {"after", 2}},
     {"variables"}},
    {"a one-element streamed array",
     {{"variables", {{{"symbol", "x"}, {"value", 2.0}}}}},
     {"variables"}},
    {"objects in a streamed array nesting objects and arrays",
     {{"findings",
       {{{"severity", "error"},
         {"at", {{"x", 1.0}, {"y", {{"deep", ordered_json::array()}}}}},
         {"names", {"a", "b"}},
         {"none", ordered_json::object()}},
        {{"severity", "warning"}, {"at", ordered_json::object()}, {"variable", nullptr}}}},
      {"errors", 1},
      {"warnings", 1}},
     {"findings"}},
    {"scalars in a streamed array",
     {{"values",
       {0.0, -0.0, 1e300, -4.9e-324, 0.1, 3, -7, true, false, nullptr, json_number(nan),
        json_number(infinity), json_number(-infinity), ""}}},
     {"values"}},
    {"strings needing escapes",
     {{"names",
       {"quote \" backslash \\ slash /", "control \x01\x1f tab \t line\nend \r",
        "\xc3\xa9 \xe2\x98\x83 \xf0\x9f\x98\x80 \xe2\x80\xa8 \x7f"}}},
     {"names"}},
    {"arrays in a streamed array",
     {{"pattern", {{1, 2}, {1, 1}, ordered_json::array(), {{3}}}}},
     {"pattern"}},
    {"members after a streamed array, and two streamed in a row",
     {{"variables", {{{"n", 1}}, {{"n", 2}}}},
      {"equations", {"e1", "e2", "e3"}},
      {"history", {{{"iteration", 0}}}},
      {"timing", {{"total_seconds", 1.0}}},
      {"last", "done"}},
     {"variables", "equations"}},
    {"keys needing escapes",
     {{"a\"b\\c", {{{"\xc3\xbc\n", 1}}}}, {"", {{"", ordered_json::object()}}}},
     {"a\"b\\c"}},
};

TEST(json_output, streamed_objects_are_byte_identical_to_the_whole_document) {
    for (const Shape& shape : shapes) {
        const std::vector<JsonMember> members = members_of(shape.document, shape.streamed);
        EXPECT_EQ(written(members), shape.document.dump(2) + '\n') << shape.name;
        EXPECT_EQ(json_object(members), shape.document) << shape.name;
        std::ostringstream whole;
        write_json(whole, shape.document);
        EXPECT_EQ(whole.str(), shape.document.dump(2) + '\n') << shape.name;
    }
}

// Numbered elements count from 1, as the host numbers, and a count below one
// gives an empty list.
TEST(json_output, numbered_elements_are_the_host_numbers) {
    const struct {
        int count;
        const char* text;
    } cases[] = {{-1, "{\n  \"list\": []\n}\n"},
                 {0, "{\n  \"list\": []\n}\n"},
                 {3, "{\n  \"list\": [\n    1,\n    2,\n    3\n  ]\n}\n"}};
    for (const auto& c : cases) {
        EXPECT_EQ(
            written({{"list", numbered_elements(c.count,
                                                [](int number) { return ordered_json(number); })}}),
            c.text)
            << c.count;
    }
}

// A record keeps its fields in the order given, as the documents list them.
TEST(json_output, a_record_keeps_the_order_of_its_fields) {
    EXPECT_EQ(
        json_record({{"symbol", "x"}, {"at", {1, 2}}, {"bound", nullptr}, {"fixed", false}}).dump(),
        R"({"symbol":"x","at":[1,2],"bound":null,"fixed":false})");
}

// Whatever fails, at whichever element, fails before the first byte: a reader
// of the output never gets half a document followed by the failure's.
TEST(json_output, a_fault_in_any_element_leaves_nothing_written) {
    const std::string not_utf8 = "cut \xc3";
    const auto element = [&](std::size_t failing) {
        return [&, failing](std::size_t index) -> ordered_json {
            if (index != failing) {
                return {{"name", "fine"}};
            }
            return {{"name", not_utf8}};
        };
    };
    for (const std::size_t failing : {std::size_t{0}, std::size_t{2}}) {
        std::ostringstream out;
        try {
            write_json_object(out, {{"first", 1}, {"list", JsonArrayStream{3, element(failing)}}});
            ADD_FAILURE() << "text that is not UTF-8 was written";
        } catch (const nlohmann::json::type_error& error) {
            EXPECT_EQ(error.id, 316) << error.what();
        }
        EXPECT_EQ(out.str(), "") << failing;
    }

    const auto last_fails = [](std::size_t index) {
        if (index == 1) {
            throw std::runtime_error("no element");
        }
        return ordered_json(index);
    };
    std::ostringstream out;
    EXPECT_THROW(write_json_object(out, {{"list", JsonArrayStream{2, last_fails}}}),
                 std::runtime_error);
    EXPECT_EQ(out.str(), "");

    EXPECT_THROW(write_json(out, {{"ready", 1}, {"name", not_utf8}}), nlohmann::json::type_error);
    EXPECT_EQ(out.str(), "");
}

// A failure's report is written whatever bytes it quotes.
TEST(json_output, the_replacing_writer_writes_text_that_is_not_utf8_as_u_fffd) {
    std::ostringstream out;
    write_json_replacing_invalid_text(out, {{"error", {{"message", "no file \xff.json"}}}});
    EXPECT_EQ(out.str(),
              "{\n  \"error\": {\n    \"message\": \"no file \xef\xbf\xbd.json\"\n  }\n}\n");
}

}  // namespace
