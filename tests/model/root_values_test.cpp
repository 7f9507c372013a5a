// Nodes that carry equation fields keep their own number or text beside the
// fields: every node kind as an equation root with a name and an entry.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model_definition.h"
#include "temp_model_file.h"

namespace {

struct RootCase {
    const char* what;
    std::string node;  // the members of the root besides its name and entry
    std::int32_t type;
    double number;
    std::string text;
    std::size_t children;
};

class model_root_values : public testing::TestWithParam<RootCase> {};

TEST_P(model_root_values, stay_beside_the_equation_fields) {
    const TempModelFile file(R"({"EquationList":[{"EquationName":"E","EquationString":"s",)" +
                             GetParam().node + R"(,"Variables":[{"VariableSymbol":"X"}]}]})");
    ModelDefinition model;
    model.load_model(file.path());
    ASSERT_EQ(model.equations().size(), 1u);
    const ExprNode& root = model.equations()[0];
    EXPECT_EQ(root.type(), GetParam().type);
    EXPECT_EQ(root.double_value(), GetParam().number);
    EXPECT_EQ(root.string_value(), GetParam().text);
    EXPECT_EQ(root.subexpressions().size(), GetParam().children);
    EXPECT_EQ(root.equation_name(), "E");
    EXPECT_EQ(root.equation_string(), "s");
    ASSERT_EQ(root.variables().size(), 1u);
    EXPECT_EQ(root.variables()[0].variable_symbol, "X");
    EXPECT_EQ(root.equation_number(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    model_root_values, model_root_values,
    testing::Values(
        RootCase{"a number", R"("Type":2,"DoubleValue":-2.5)", NODE_NUMBER, -2.5, "", 0},
        RootCase{"a numeric text", R"("Type":3,"StringValue":"1e3")", NODE_NUMERIC_TEXT,
                 ExprNode::NO_NUMBER, "1e3", 0},
        RootCase{"a variable", R"("Type":4,"StringValue":"X")", NODE_VARIABLE, ExprNode::NO_NUMBER,
                 "X", 0},
        RootCase{"a function of a child",
                 R"("Type":6,"StringValue":"exp","SubExpressions":[{"Type":2,"DoubleValue":1}])",
                 NODE_FUNCTION, ExprNode::NO_NUMBER, "exp", 1},
        RootCase{"a sum of two children",
                 R"("Type":0,"StringValue":"unread","SubExpressions":[{"Type":2,"DoubleValue":1},
                    {"Type":4,"StringValue":"X"}])",
                 NODE_SUM, ExprNode::NO_NUMBER, "", 2},
        RootCase{"an unrecognised code", R"("Type":7,"DoubleValue":4,"StringValue":"x")",
                 NODE_UNRECOGNISED, ExprNode::NO_NUMBER, "", 0}));

}  // namespace
