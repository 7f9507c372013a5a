// The value of each node code, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "evaluate_expression.h"
#include "program_builder.h"
#include "small_stack.h"
#include "temp_model_file.h"
#include "tree_builder.h"

namespace {

// Model variables X (number 1), x (number 2) and a second X (number 3), so
// that references can be told apart by the value they read.
const double host_values[] = {10.0, 20.0, 30.0};

std::unique_ptr<ModelDefinition> model_with(const std::string& tree) {
    TempModelFile file(R"({"EquationList":[)" + tree +
                       R"(],"Variables":[{"VariableSymbol":"X","VariableName":"x"},
                                          {"VariableSymbol":"x"},{"VariableSymbol":"X"}]})");
    auto model = std::make_unique<ModelDefinition>();
    model->load_model(file.path());
    std::int32_t number = 0;
    for (auto& variable : model->variables()) {
        variable.variable_number = ++number;
    }
    return model;
}

double value_of(const std::string& tree) {
    auto model = model_with(tree);
    return evaluate_expression(OneBasedValues(host_values, 3), model->equations()[0], *model);
}

std::uint64_t bits(double value) {
    std::uint64_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

std::string number(const std::string& value) {
    return R"({"Type":2,"DoubleValue":)" + value + "}";
}
std::string text(const std::string& value) {
    return R"({"Type":3,"StringValue":")" + value + R"("})";
}
std::string variable(const std::string& symbol) {
    return R"({"Type":4,"StringValue":")" + symbol + R"("})";
}
std::string node(int code, const std::vector<std::string>& children, const std::string& name = "") {
    std::string list;
    for (const auto& child : children) {
        list += (list.empty() ? "" : ",") + child;
    }
    return R"({"Type":)" + std::to_string(code) + R"(,"StringValue":")" + name +
           R"(","SubExpressions":[)" + list + "]}";
}
std::string function(const std::string& name, const std::vector<std::string>& arguments) {
    return node(6, arguments, name);
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

struct ValueCase {
    const char* what;
    std::string tree;
    double value;
};

class expr_eval_values : public testing::TestWithParam<ValueCase> {};

// Compared bit for bit, so -0.0 and +0.0 differ and NaN equals NaN.
TEST_P(expr_eval_values, bit_for_bit) {
    const double value = value_of(GetParam().tree);
    EXPECT_EQ(bits(value), bits(GetParam().value))
        << GetParam().what << ": " << value << " expected " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    expr_eval, expr_eval_values,
    testing::Values(
        ValueCase{"empty sum", node(0, {}), 0.0},
        ValueCase{"sum of -0.0 starts from +0.0", node(0, {number("-0.0")}), 0.0},
        ValueCase{"sum in order", node(0, {number("1e16"), number("1"), number("-1e16")}), 0.0},
        ValueCase{"empty product", node(1, {}), 1.0},
        ValueCase{"product of -0.0", node(1, {number("-0.0")}), -0.0},
        ValueCase{"product", node(1, {number("3"), variable("x")}), 60.0},
        ValueCase{"number", number("2.5"), 2.5},
        ValueCase{"numeric text in single precision", text("0.1"), 0.100000001490116119384765625},
        ValueCase{"numeric text with a unit", text("2.5kg"), 2.5},
        ValueCase{"numeric text after blanks", text("   7"), 7.0},
        ValueCase{"numeric text, hexadecimal", text("0x10"), 16.0},
        ValueCase{"numeric text, infinity", text("inf"), inf},
        ValueCase{"reference finds the first of a symbol", variable("X"), 10.0},
        ValueCase{"reference is case-sensitive", variable("x"), 20.0},
        ValueCase{"reference to no variable", variable("Y"), 0.0},
        ValueCase{"reference never matches a name", variable("feed"), 0.0},
        ValueCase{"power", node(5, {variable("X"), number("2")}), 100.0},
        ValueCase{"power without children", node(5, {}), 1.0},
        ValueCase{"power with one child", node(5, {number("-3")}), 1.0},
        ValueCase{"power ignores a third child", node(5, {number("2"), number("3"), text("bad")}),
                  8.0},
        ValueCase{"power of a negative base", node(5, {number("-8"), number("0.5")}), -nan},
        ValueCase{"ln", function("ln", {number("1")}), 0.0},
        ValueCase{"ln of 0", function("ln", {number("0")}), -inf},
        ValueCase{"log is base 10", function("log", {number("100")}), 2.0},
        ValueCase{"lg is base 10", function("lg", {number("1000")}), 3.0},
        ValueCase{"abs", function("abs", {number("-2")}), 2.0},
        ValueCase{"abs of -0.0", function("abs", {number("-0.0")}), 0.0},
        ValueCase{"exp", function("exp", {number("0")}), 1.0},
        ValueCase{"exp overflows to infinity", function("exp", {number("1000")}), inf},
        ValueCase{"sqrt", function("sqrt", {number("16")}), 4.0},
        ValueCase{"sqrt of a negative", function("sqrt", {number("-4")}), 0.0},
        ValueCase{"sqrt of -0.0", function("sqrt", {number("-0.0")}), -0.0},
        ValueCase{"sqrt of NaN", function("sqrt", {node(5, {number("-8"), number("0.5")})}), 0.0},
        ValueCase{"function uses its first child only",
                  function("abs", {number("-5"), text("bad")}), 5.0},
        ValueCase{"function without children", function("exp", {}), 0.0},
        ValueCase{"names are exact: LN", function("LN", {number("1")}), 0.0},
        ValueCase{"names are exact: Log", function("Log", {number("1")}), 0.0},
        ValueCase{"names are exact: log10", function("log10", {number("1")}), 0.0},
        ValueCase{"unknown function sin", function("sin", {number("1")}), 0.0},
        ValueCase{"unrecognised code", node(7, {number("1")}), 0.0},
        ValueCase{"unrecognised negative code", node(-1, {number("1")}), 0.0},
        ValueCase{"NaN flows through a sum",
                  node(0, {number("1"), node(5, {number("-1"), number("0.5")})}), -nan}));

TEST(expr_eval, abs_of_nan_keeps_its_payload_and_loses_its_sign) {
    const double negative_nan = -std::numeric_limits<double>::quiet_NaN();
    ModelDefinition model;
    const TreeBuilder trees(model);
    const ExprNode root = trees.parent(NODE_FUNCTION, {trees.number(negative_nan)}, "abs");
    const double value = evaluate_expression(OneBasedValues(nullptr, 0), root, model);
    EXPECT_EQ(bits(value), bits(negative_nan) & ~(std::uint64_t{1} << 63));
}

struct FaultCase {
    std::string tree;
    bool out_of_range;
    const char* what;
};

class expr_eval_faults : public testing::TestWithParam<FaultCase> {};

TEST_P(expr_eval_faults, raise_with_the_stof_texts) {
    try {
        value_of(GetParam().tree);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_TRUE(GetParam().out_of_range);
        EXPECT_STREQ(error.what(), GetParam().what);
    } catch (const std::invalid_argument& error) {
        EXPECT_FALSE(GetParam().out_of_range);
        EXPECT_STREQ(error.what(), GetParam().what);
    }
}

INSTANTIATE_TEST_SUITE_P(
    expr_eval, expr_eval_faults,
    testing::Values(FaultCase{text(""), false, "invalid stof argument"},
                    FaultCase{text("abc"), false, "invalid stof argument"},
                    FaultCase{text("1e39"), true, "stof argument out of range"},
                    FaultCase{text("1e-50"), true, "stof argument out of range"},
                    // A product evaluates every child, also after a zero factor.
                    FaultCase{node(1, {number("0"), text("x")}), false, "invalid stof argument"},
                    // An unknown function still evaluates its argument.
                    FaultCase{function("sin", {text("x")}), false, "invalid stof argument"},
                    FaultCase{node(5, {number("2"), text("1e40")}), true,
                              "stof argument out of range"}));

TEST(expr_eval, a_deep_tree_evaluates_on_a_small_stack) {
    ModelDefinition model;
    const TreeBuilder trees(model);
    // Built from the leaf up: a sum at the root, then a product, and so on.
    ExprNode root = trees.number(4.0);
    for (int level = 1000000; level-- > 0;) {
        root = trees.parent(level % 2 == 0 ? NODE_SUM : NODE_PRODUCT, {root});
    }
    run_on_small_stack(
        [&] { EXPECT_EQ(evaluate_expression(OneBasedValues(nullptr, 0), root, model), 4.0); });
}

TEST(expr_eval, an_evaluator_is_reusable_after_a_fault) {
    auto model = model_with(node(0, {number("1"), text("x")}));
    ExpressionEvaluator evaluator(*model);
    const OneBasedValues values(host_values, 3);
    EXPECT_THROW(evaluator.evaluate(values, model->equations()[0]), std::invalid_argument);
    EXPECT_EQ(evaluator.evaluate(values, ExprNode::number(2.0)), 2.0);
}

// The model keeps its texts back to back without NUL ends, so a text read
// past its own end takes in the next one: "1" kept before "5" would read 15.
// Each tree keeps its texts in the order written, and its variable
// references name no model variable, so they read 0.0.
struct AdjacentTextCase {
    const char* what;
    ExprNode (*tree)(const TreeBuilder& make);
    double value;
};

class expr_eval_adjacent_texts : public testing::TestWithParam<AdjacentTextCase> {};

TEST_P(expr_eval_adjacent_texts, end_where_their_node_says_by_walk_and_program) {
    ModelDefinition model;
    const ExprNode tree = GetParam().tree(TreeBuilder(model));
    const double walked = evaluate_expression(OneBasedValues(nullptr, 0), tree, model);
    EXPECT_EQ(bits(walked), bits(GetParam().value)) << GetParam().what << ", walk: " << walked;
    ProgramBuilder builder(model, 0);
    builder.add(&tree, 1);
    CompiledProgram program = builder.build();
    double compiled = -1.0;
    program.run(nullptr, &compiled);
    EXPECT_EQ(bits(compiled), bits(GetParam().value))
        << GetParam().what << ", program: " << compiled;
}

INSTANTIATE_TEST_SUITE_P(
    expr_eval, expr_eval_adjacent_texts,
    testing::Values(
        AdjacentTextCase{"numeric text before a digit",
                         [](const TreeBuilder& make) {
                             return make.parent(NODE_SUM, {make.text(NODE_NUMERIC_TEXT, "1"),
                                                           make.text(NODE_NUMERIC_TEXT, "5")});
                         },
                         6.0},
        AdjacentTextCase{"numeric text before an exponent",
                         [](const TreeBuilder& make) {
                             return make.parent(NODE_SUM, {make.text(NODE_NUMERIC_TEXT, "2.5"),
                                                           make.text(NODE_VARIABLE, "e3")});
                         },
                         2.5},
        AdjacentTextCase{"numeric text before an exponent out of single range",
                         [](const TreeBuilder& make) {
                             return make.parent(NODE_SUM, {make.text(NODE_NUMERIC_TEXT, "1"),
                                                           make.text(NODE_VARIABLE, "e39")});
                         },
                         1.0},
        AdjacentTextCase{"hexadecimal text before a binary exponent",
                         [](const TreeBuilder& make) {
                             return make.parent(NODE_SUM, {make.text(NODE_NUMERIC_TEXT, "0x1"),
                                                           make.text(NODE_VARIABLE, "p4")});
                         },
                         1.0},
        AdjacentTextCase{"function name before the rest of a known one",
                         [](const TreeBuilder& make) {
                             return make.parent(
                                 NODE_SUM, {make.parent(NODE_FUNCTION, {make.number(1.0)}, "ex"),
                                            make.text(NODE_VARIABLE, "p")});
                         },
                         0.0}));

TEST(expr_eval, numbers_outside_the_value_vector_read_as_zero) {
    const OneBasedValues values(host_values, 3);
    EXPECT_EQ(values[0], 0.0);
    EXPECT_EQ(values[4], 0.0);
    EXPECT_EQ(values[-1], 0.0);
    EXPECT_EQ(values[3], 30.0);
}

}  // namespace
