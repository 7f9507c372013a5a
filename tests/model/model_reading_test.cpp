// What the loader keeps of each member, and what survives a fault.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

#include "model_definition.h"
#include "temp_model_file.h"
#include "worked_example.h"

namespace {

std::unique_ptr<ModelDefinition> load_owned(const std::string& text) {
    TempModelFile file(text);
    auto model = std::make_unique<ModelDefinition>();
    model->load_model(file.path());
    return model;
}

TEST(model_reading, worked_example_keeps_every_field) {
    auto model = load_owned(worked_example);
    ASSERT_EQ(model->equations().size(), 1u);
    const ExprNode& root = model->equations()[0];
    EXPECT_EQ(root.equation_name(), "E1");
    EXPECT_EQ(root.equation_string(), "X*Y-2");
    EXPECT_EQ(root.type(), NODE_SUM);
    ASSERT_EQ(root.subexpressions().size(), 2u);
    EXPECT_EQ(root.subexpressions()[0].type(), NODE_PRODUCT);
    EXPECT_EQ(root.subexpressions()[0].subexpressions()[1].string_value(), "Y");
    EXPECT_EQ(root.subexpressions()[1].double_value(), -2.0);
    ASSERT_EQ(root.variables().size(), 2u);
    EXPECT_EQ(root.variables()[0].variable_symbol, "X");
    EXPECT_EQ(root.variables()[0].differential->string_value(), "Y");
    EXPECT_EQ(root.equation_number(), -1);

    ASSERT_EQ(model->variables().size(), 2u);
    const VariableDef& x = model->variables()[0];
    EXPECT_EQ(x.variable_name, "feed");
    EXPECT_EQ(x.min, 0.0);
    EXPECT_EQ(x.max, 10.0);
    EXPECT_EQ(x.initial, 1.0);
    const VariableDef& y = model->variables()[1];
    EXPECT_EQ(y.min, 1.7976931348623157e308);
    EXPECT_EQ(y.max, 1.7976931348623157e308);
    EXPECT_EQ(y.initial, 2.0);
    EXPECT_EQ(y.variable_number, -1);
    EXPECT_EQ(y.nonzero_number, -1);
    EXPECT_TRUE(model->symbol_to_number.empty());
}

TEST(model_reading, entries_are_records_of_their_own) {
    auto model = load_owned(worked_example);
    model->equations()[0].variables()[0].variable_number = 7;
    EXPECT_EQ(model->variables()[0].variable_number, -1);
}

struct CodeCase {
    std::string type;
    std::int32_t code;
};

class model_reading_codes : public testing::TestWithParam<CodeCase> {};

TEST_P(model_reading_codes, read_as_32_bit_codes) {
    auto model = load_owned(R"({"EquationList":[{"Type":)" + GetParam().type +
                            R"(,"DoubleValue":1,"StringValue":"s"}]})");
    EXPECT_EQ(model->equations()[0].type(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(model_reading, model_reading_codes,
                         testing::Values(CodeCase{"2.9", NODE_NUMBER}, CodeCase{"-0.5", NODE_SUM},
                                         CodeCase{"true", NODE_PRODUCT},
                                         CodeCase{"false", NODE_SUM}, CodeCase{"4", NODE_VARIABLE},
                                         CodeCase{"7", NODE_UNRECOGNISED},
                                         CodeCase{"-1", NODE_UNRECOGNISED},
                                         CodeCase{"4294967296", NODE_SUM},
                                         CodeCase{"1e300", NODE_UNRECOGNISED}));

TEST(model_reading, unrecognised_code_reads_only_entries) {
    auto model = load_owned(
        R"({"EquationList":[{"Type":7,"SubExpressions":[{"Type":0}],"DoubleValue":"x",
            "StringValue":5,"Variables":[{"VariableSymbol":"X"}]}]})");
    const ExprNode& node = model->equations()[0];
    EXPECT_EQ(node.type(), NODE_UNRECOGNISED);
    EXPECT_TRUE(node.subexpressions().empty());
    EXPECT_TRUE(node.string_value().empty());
    EXPECT_EQ(node.double_value(), -9999999.0);
    EXPECT_EQ(node.variables().size(), 1u);
}

TEST(model_reading, members_a_code_does_not_name_are_ignored) {
    auto model = load_owned(
        R"({"EquationList":[{"Type":0,"DoubleValue":"x","StringValue":1},
                            {"Type":2,"DoubleValue":3,"SubExpressions":"bad"}]})");
    EXPECT_EQ(model->equations()[0].double_value(), -9999999.0);
    EXPECT_EQ(model->equations()[1].subexpressions().size(), 0u);
}

TEST(model_reading, large_unsigned_numbers_stay_positive) {
    auto model = load_owned(R"({"EquationList":[{"Type":2,"DoubleValue":18446744073709551615},
                                                {"Type":2,"DoubleValue":9223372036854775808}]})");
    EXPECT_EQ(model->equations()[0].double_value(), 1.8446744073709552e19);
    EXPECT_EQ(model->equations()[1].double_value(), 9223372036854775808.0);
}

TEST(model_reading, objects_as_lists_take_values_in_key_byte_order) {
    auto model = load_owned(
        R"({"EquationList":{"b":{"Type":0,"EquationName":"second"},
                            "a":{"Type":0,"EquationName":"first"},
                            "B":{"Type":0,"EquationName":"upper case sorts first"}}})");
    ASSERT_EQ(model->equations().size(), 3u);
    EXPECT_EQ(model->equations()[0].equation_name(), "upper case sorts first");
    EXPECT_EQ(model->equations()[1].equation_name(), "first");
    EXPECT_EQ(model->equations()[2].equation_name(), "second");
}

TEST(model_reading, zero_elements_are_skipped_in_every_list) {
    auto model = load_owned(
        R"({"EquationList":[{"Type":0,"SubExpressions":[0,{"Type":2,"DoubleValue":1},-0.0],
                             "Variables":{"k":0,"j":{"VariableSymbol":"X"}}}]})");
    EXPECT_EQ(model->equations()[0].subexpressions().size(), 1u);
    ASSERT_EQ(model->equations()[0].variables().size(), 1u);
    EXPECT_EQ(model->equations()[0].variables()[0].variable_symbol, "X");
}

TEST(model_reading, guarded_records_keep_every_default) {
    auto model = load_owned(
        R"({"EquationList":[{"object":{"Type":0.0},"Type":2,"EquationName":"E",
                             "DoubleValue":5,"Variables":[{"VariableSymbol":"X"}]}],
            "Variables":[{"object":{"VariableSymbol":0},"VariableSymbol":"X","Min":1}]})");
    const ExprNode& node = model->equations()[0];
    EXPECT_EQ(node.type(), NODE_UNRECOGNISED);
    EXPECT_TRUE(node.equation_name().empty());
    EXPECT_EQ(node.double_value(), -9999999.0);
    EXPECT_TRUE(node.variables().empty());
    const VariableDef& variable = model->variables()[0];
    EXPECT_TRUE(variable.variable_symbol.empty());
    EXPECT_EQ(variable.min, 1.7976931348623157e308);
}

TEST(model_reading, guards_other_than_zero_have_no_effect) {
    auto model = load_owned(
        R"({"EquationList":[{"object":null,"Type":2,"DoubleValue":5},
                            {"object":{"Type":null},"Type":2,"DoubleValue":6},
                            {"object":{"Type":false},"Type":2,"DoubleValue":7}]})");
    EXPECT_EQ(model->equations()[0].double_value(), 5.0);
    EXPECT_EQ(model->equations()[1].double_value(), 6.0);
    EXPECT_EQ(model->equations()[2].double_value(), 7.0);
}

TEST(model_reading, differential_zero_or_guarded_means_no_derivative) {
    auto model = load_owned(
        R"({"Variables":[{"VariableSymbol":"A","Differential":0},
                         {"VariableSymbol":"B","Differential":{"object":{"Type":0},"Type":2}},
                         {"VariableSymbol":"C","Differential":{"Type":2,"DoubleValue":3}}]})");
    EXPECT_FALSE(model->variables()[0].differential);
    EXPECT_FALSE(model->variables()[1].differential);
    ASSERT_TRUE(model->variables()[2].differential);
    EXPECT_EQ(model->variables()[2].differential->double_value(), 3.0);
}

TEST(model_reading, of_repeated_keys_the_last_counts) {
    auto model = load_owned(
        R"({"EquationList":{"a":{"Type":0,"EquationName":"first"},
                            "a":{"Type":2,"Type":0,"EquationName":"second"}}})");
    ASSERT_EQ(model->equations().size(), 1u);
    EXPECT_EQ(model->equations()[0].equation_name(), "second");
    EXPECT_EQ(model->equations()[0].type(), NODE_SUM);
}

TEST(model_reading, texts_keep_their_utf8_bytes_and_escapes) {
    auto model = load_owned("{\"Variables\":[{\"VariableSymbol\":\"caf\xC3\xA9\\u0041\\n\"}]}");
    EXPECT_EQ(model->variables()[0].variable_symbol,
              "caf\xC3\xA9"
              "A\n");
}

// A fault keeps exactly the records appended before it.
struct PartialCase {
    std::string file;
    std::size_t equations;
    std::size_t variables;
};

class model_reading_partial : public testing::TestWithParam<PartialCase> {};

TEST_P(model_reading_partial, keeps_what_came_before_the_fault) {
    TempModelFile file(GetParam().file);
    ModelDefinition model;
    EXPECT_THROW(model.load_model(file.path()), nlohmann::json::type_error);
    EXPECT_EQ(model.equations().size(), GetParam().equations);
    EXPECT_EQ(model.variables().size(), GetParam().variables);
}

INSTANTIATE_TEST_SUITE_P(
    model_reading, model_reading_partial,
    testing::Values(
        PartialCase{R"({"EquationList":[{"Type":0},{"EquationName":"no type"},{"Type":0}],
                        "Variables":[{"VariableSymbol":"X"}]})",
                    1, 0},
        PartialCase{R"({"EquationList":[{"Type":0},{"Type":0}],
                        "Variables":[{"VariableSymbol":"X"},{"VariableSymbol":"Y"},{"Min":1}]})",
                    2, 2},
        PartialCase{R"({"EquationList":[{"Type":0,"SubExpressions":[{"Type":1},{"Type":2}]}]})", 0,
                    0}));

TEST(model_reading, find_variable_is_exact_and_finds_the_first) {
    auto model = load_owned(
        R"({"EquationList":[{"Type":0,"Variables":[{"VariableSymbol":"only_in_entry"}]}],
            "Variables":[{"VariableSymbol":"X","VariableName":"x","Initial":1},
                         {"VariableSymbol":"X","Initial":2},
                         {"VariableSymbol":"a b"}]})");
    ASSERT_NE(model->find_variable("X"), nullptr);
    EXPECT_EQ(model->find_variable("X")->initial, 1.0);
    EXPECT_EQ(model->find_variable("x"), nullptr);
    EXPECT_EQ(model->find_variable("only_in_entry"), nullptr);
    EXPECT_EQ(model->find_variable("a b"), &model->variables()[2]);
    EXPECT_EQ(model->find_variable("a  b"), nullptr);
    EXPECT_EQ(model->find_variable(""), nullptr);
}

}  // namespace
