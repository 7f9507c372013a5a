// Where the loader finds a model file's first fault: a parse fault's byte in
// the text with its lines joined, a value's fault at the JSON pointer of the
// member or element that holds it, as the loader's own frames name it.
#include <gtest/gtest.h>

#include <string>

#include "model_loading.h"
#include "temp_model_file.h"

namespace {

struct PlaceCase {
    std::string name;
    std::string text;
    std::string what;  // the fault's text after the library's prefix
    std::string pointer;
};

void PrintTo(const PlaceCase& place_case, std::ostream* out) {
    *out << place_case.name;
}

const std::string null_number = "[json.exception.type_error.302] type must be number, but is null";
const std::string no_lookup =
    "[json.exception.type_error.305] cannot use operator[] with a "
    "string argument with ";

const PlaceCase place_cases[] = {
    {"null_equation", R"({"EquationList":[null]})", null_number, "/EquationList/0"},
    {"second_equation_without_type", R"({"EquationList":[{"Type":2,"DoubleValue":1},{}]})",
     null_number, "/EquationList/1/Type"},
    {"zero_elements_count_in_the_index", R"({"EquationList":[0,{"Type":null}]})", null_number,
     "/EquationList/1/Type"},
    {"nested_number",
     R"({"EquationList":[{"Type":0,"SubExpressions":[{"Type":2,"DoubleValue":1},)"
     R"({"Type":1,"SubExpressions":[{"Type":2,"DoubleValue":null}]}]}]})",
     null_number, "/EquationList/0/SubExpressions/1/SubExpressions/0/DoubleValue"},
    {"text_of_a_reference", R"({"EquationList":[{"Type":4,"StringValue":7}]})",
     "[json.exception.type_error.302] type must be string, but is number",
     "/EquationList/0/StringValue"},
    {"equation_name", R"({"EquationList":[{"Type":7,"EquationName":[]}]})",
     "[json.exception.type_error.302] type must be string, but is array",
     "/EquationList/0/EquationName"},
    {"third_variable_without_symbol",
     R"({"Variables":[{"VariableSymbol":"a"},{"VariableSymbol":"b"},{"Min":1}]})",
     "[json.exception.type_error.302] type must be string, but is null",
     "/Variables/2/VariableSymbol"},
    {"bound_as_text", R"({"Variables":[{"VariableSymbol":"a","Max":"1"}]})",
     "[json.exception.type_error.302] type must be number, but is string", "/Variables/0/Max"},
    {"derivative_as_boolean",
     R"({"EquationList":[{"Type":7,"Variables":[{"VariableSymbol":"a","Differential":true}]}]})",
     no_lookup + "boolean", "/EquationList/0/Variables/0/Differential"},
    {"fault_in_a_derivative",
     R"({"EquationList":[{"Type":7,"Variables":[{"VariableSymbol":"a","Differential":)"
     R"({"Type":0,"SubExpressions":[{}]}}]}]})",
     null_number, "/EquationList/0/Variables/0/Differential/SubExpressions/0/Type"},
    {"guard_as_number", R"({"EquationList":[{"object":5,"Type":2}]})", no_lookup + "number",
     "/EquationList/0/object"},
    {"children_as_text", R"({"EquationList":[{"Type":0,"SubExpressions":"x"}]})",
     no_lookup + "string", "/EquationList/0/SubExpressions"},
    {"array_as_element", R"({"Variables":[[1]]})", no_lookup + "array", "/Variables/0"},
    {"list_as_object", R"({"EquationList":{"b":{"Type":2,"DoubleValue":1},"a/b~c":null}})",
     null_number, "/EquationList/a~1b~0c"},
    {"variables_as_object", R"({"Variables":{"k":{"VariableSymbol":"a","VariableName":3}}})",
     "[json.exception.type_error.302] type must be string, but is number",
     "/Variables/k/VariableName"},
    {"document_as_array", "[]", no_lookup + "array", ""},
};

class fault_places : public testing::TestWithParam<PlaceCase> {};

TEST_P(fault_places, name_the_member_that_holds_the_faulty_value) {
    const TempModelFile file(GetParam().text);
    const ModelFaultPlace place = locate_model_fault(file.path());
    EXPECT_EQ(place.what, GetParam().what);
    EXPECT_TRUE(place.has_pointer);
    EXPECT_EQ(place.pointer, GetParam().pointer);
    EXPECT_EQ(place.joined_offset, -1);
}

INSTANTIATE_TEST_SUITE_P(model, fault_places, testing::ValuesIn(place_cases),
                         [](const testing::TestParamInfo<PlaceCase>& place_case) {
                             return place_case.param.name;
                         });

TEST(fault_places, a_parse_fault_lies_at_the_byte_the_library_stopped_at) {
    // The lines are joined: the fault's byte counts no line end.
    const TempModelFile file("{\n  \"Variables\": [\r\n    {\"VariableSymbol\": \"x\",, }]}");
    const ModelFaultPlace place = locate_model_fault(file.path());
    EXPECT_EQ(
        place.what.rfind("[json.exception.parse_error.101] parse error at line 1, column 45", 0),
        0u)
        << place.what;
    EXPECT_EQ(place.joined_offset, 44);
    EXPECT_FALSE(place.has_pointer);
}

TEST(fault_places, a_file_that_loads_has_no_fault) {
    const TempModelFile file(R"({"Variables":[{"VariableSymbol":"a"}]})");
    const ModelFaultPlace place = locate_model_fault(file.path());
    EXPECT_EQ(place.what, "");
    EXPECT_FALSE(place.has_pointer);
    EXPECT_EQ(place.joined_offset, -1);
}

}  // namespace
