// The document's own lists, which the loader writes straight into the model
// as their elements close: repeated members, members in either order, lists
// of other shapes after arrays, and the first fault in reading order.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "model_definition.h"
#include "temp_model_file.h"

namespace {

struct TopListCase {
    const char* what;
    std::string file;
    std::vector<std::string> equation_names;  // of the equations kept
    std::vector<std::string> symbols;         // of the model variables kept
    std::string fault;                        // empty when the file loads
};

class model_top_lists : public testing::TestWithParam<TopListCase> {};

TEST_P(model_top_lists, keep_the_records_before_the_first_fault) {
    const TempModelFile file(GetParam().file);
    ModelDefinition model;
    std::string fault;
    try {
        model.load_model(file.path());
    } catch (const nlohmann::json::exception& error) {
        fault = error.what();
    }
    EXPECT_EQ(fault, GetParam().fault);
    std::vector<std::string> names;
    for (const ExprNode& equation : model.equations()) {
        names.emplace_back(equation.equation_name());
    }
    std::vector<std::string> symbols;
    for (const VariableDef& variable : model.variables()) {
        symbols.emplace_back(variable.variable_symbol);
    }
    EXPECT_EQ(names, GetParam().equation_names);
    EXPECT_EQ(symbols, GetParam().symbols);
}

const std::string null_is_not_a_number =
    "[json.exception.type_error.302] type must be number, but is null";
const std::string array_has_no_members =
    "[json.exception.type_error.305] cannot use operator[] with a string argument with array";

INSTANTIATE_TEST_SUITE_P(
    model_top_lists, model_top_lists,
    testing::Values(
        TopListCase{"a repeated list: the last one's elements",
                    R"({"EquationList":[{"Type":0,"EquationName":"a"}],
                        "EquationList":[{"Type":1,"EquationName":"b"},{"Type":0,"EquationName":"c"}]})",
                    {"b", "c"},
                    {},
                    ""},
        TopListCase{"a fault of a list that a later one replaces is no fault",
                    R"({"EquationList":[{"Type":0,"EquationName":"a"},{}],
                        "EquationList":[{"Type":1,"EquationName":"b"}]})",
                    {"b"},
                    {},
                    ""},
        TopListCase{"an array replaced by null",
                    R"({"EquationList":[{"Type":0}],"EquationList":null})",
                    {},
                    {},
                    ""},
        TopListCase{"an array replaced by an object list",
                    R"({"EquationList":[{"Type":0,"EquationName":"a"}],
                        "EquationList":{"k":{"Type":1,"EquationName":"b"}}})",
                    {"b"},
                    {},
                    ""},
        TopListCase{"an object list replaced by an array",
                    R"({"EquationList":{"k":{"Type":1,"EquationName":"b"}},
                        "EquationList":[{"Type":0,"EquationName":"c"},0,{"Type":5,"EquationName":"d"}]})",
                    {"c", "d"},
                    {},
                    ""},
        TopListCase{"the first faulty equation stops the list and the variables",
                    R"({"EquationList":[{"Type":0,"EquationName":"a"},{},{"Type":"x"},{"Type":0}],
                        "Variables":[{"VariableSymbol":"X"}]})",
                    {"a"},
                    {},
                    null_is_not_a_number},
        TopListCase{
            "equations are read first, wherever the variables stand",
            R"({"Variables":[{"Min":1}],"EquationList":[{"Type":0,"EquationName":"a"},null]})",
            {"a"},
            {},
            null_is_not_a_number},
        TopListCase{"a faulty variable after whole equations",
                    R"({"EquationList":[{"Type":0,"EquationName":"a"}],
                        "Variables":[{"VariableSymbol":"X"},[],{"VariableSymbol":"Z"}]})",
                    {"a"},
                    {"X"},
                    array_has_no_members},
        TopListCase{"repeated variables: the last list counts",
                    R"({"Variables":[{"VariableSymbol":"X"},5],
                        "Variables":[0,{"VariableSymbol":"Y"},{"object":{"VariableSymbol":0}}]})",
                    {},
                    {"Y", ""},
                    ""},
        TopListCase{"a guarded equation stands with its defaults",
                    R"({"EquationList":[{"object":{"Type":0},"EquationName":"hidden"},
                                        {"Type":0,"EquationName":"b"}]})",
                    {"", "b"},
                    {},
                    ""}));

// A model variable's derivative tree is read while the variable is open; the
// variable itself goes straight into the model's list.
TEST(model_top_lists, variables_keep_their_derivative_trees) {
    const TempModelFile file(
        R"({"Variables":[{"VariableSymbol":"X","Differential":{"Type":2,"DoubleValue":3}},
                         {"VariableSymbol":"Y","Differential":{"Type":0,"SubExpressions":[
                             {"Type":4,"StringValue":"X"}]}}]})");
    ModelDefinition model;
    model.load_model(file.path());
    ASSERT_EQ(model.variables().size(), 2u);
    ASSERT_NE(model.variables()[0].differential, nullptr);
    EXPECT_EQ(model.variables()[0].differential->double_value(), 3.0);
    ASSERT_NE(model.variables()[1].differential, nullptr);
    EXPECT_EQ(model.variables()[1].differential->subexpressions()[0].string_value(), "X");
    EXPECT_EQ(model.find_variable("Y"), &model.variables()[1]);
}

}  // namespace
