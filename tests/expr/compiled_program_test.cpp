// The compiled programs against the plain tree walk, bit for bit: on random
// trees of every node kind, on the faults of numeric texts, on deep trees.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "evaluate_expression.h"
#include "program_builder.h"
#include "tree_builder.h"

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bits(double value) {
    std::uint64_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

// Values of the host's vector: ordinary, signed zeros, infinities, NaN.
const std::vector<double> host_values{2.0, -0.0, 0.5, inf, -3.0, nan, 0.0, -inf, 1e300, 7.25};

// Model variables: a repeated symbol (the first is read), a variable whose
// number lies outside the vector, one numbered below 1.
std::unique_ptr<ModelDefinition> random_model() {
    auto model = std::make_unique<ModelDefinition>();
    const std::vector<std::pair<std::string, std::int32_t>> variables{
        {"a", 1}, {"b", 2}, {"c", 3},  {"d", 4}, {"e", 5},    {"f", 6},  {"g", 7},
        {"h", 8}, {"i", 9}, {"j", 10}, {"a", 3}, {"far", 11}, {"low", 0}};
    for (const auto& [symbol, number] : variables) {
        TreeBuilder(*model).variable(symbol, number);
    }
    return model;
}

class TreeMaker {
  public:
    // The trees are kept in `model`'s storage.
    TreeMaker(std::uint32_t seed, ModelDefinition& model) : random_(seed), trees_(model) {}

    // A tree of at most `depth` levels; numeric texts only valid ones unless
    // `faulty_texts`. One subtree in four repeats one made before, so that
    // programs share subtrees.
    ExprNode make(int depth, bool faulty_texts = false) {
        if (!made_.empty() && random_() % 4 == 0) {
            return made_[random_() % made_.size()];
        }
        const std::vector<std::int32_t> codes{0, 1, 2, 3, 4, 5, 6, 7, 8, -1};
        const std::int32_t type =
            depth <= 0 ? pick(std::vector<std::int32_t>{2, 3, 4, 4, 0, 1, 5}) : pick(codes);
        const double number = pick(numbers_);
        const std::string text = string_for(type, faulty_texts);
        const int count = depth <= 0 ? 0 : static_cast<int>(random_() % 5);
        std::vector<ExprNode> children;
        for (int i = 0; i < count; ++i) {
            children.push_back(make(depth - 1, faulty_texts));
        }
        // A number keeps no children: no walk ever evaluates them.
        const ExprNode node =
            type == NODE_NUMBER ? trees_.number(number) : trees_.parent(type, children, text);
        const bool calls_library = type == NODE_POWER || type == NODE_FUNCTION;
        if (calls_library && depth <= 3 && made_.size() < 64) {
            made_.push_back(node);
        }
        return node;
    }

  private:
    template <typename T>
    T pick(const std::vector<T>& from) {
        return from[random_() % from.size()];
    }

    std::string string_for(std::int32_t type, bool faulty_texts) {
        switch (type) {
            case NODE_NUMERIC_TEXT:
                return pick(faulty_texts ? bad_texts_ : texts_);
            case NODE_VARIABLE:
                return pick(symbols_);
            case NODE_FUNCTION:
                return pick(names_);
            default:
                return pick(names_);  // read by no other code
        }
    }

    std::mt19937 random_;
    TreeBuilder trees_;
    std::vector<ExprNode> made_;
    const std::vector<double> numbers_{0.0,   -0.0,    1.0, -1.0, 2.0, 0.5,  -2.5, 3.0,
                                       1e308, -1e-310, inf, -inf, nan, -nan, 100.0};
    const std::vector<std::string> texts_{"0.1", "2.5kg", "  7", "-0", "1e-3", "inf", "0x10"};
    const std::vector<std::string> bad_texts_{"0.1", "abc", "", "1e39", "3"};
    const std::vector<std::string> symbols_{"a", "b", "c", "d",   "e",   "f", "g",
                                            "h", "i", "j", "far", "low", "A", "none"};
    const std::vector<std::string> names_{"ln", "log", "lg", "abs",   "exp",  "sqrt",
                                          "",   "sin", "LN", "log10", "sqrt "};
};

OneBasedValues reference_values() {
    return OneBasedValues(host_values.data(), host_values.size());
}

// What the walk gives for `tree`, or the text of the exception it raises.
struct Outcome {
    double value = 0.0;
    std::string fault;
};

Outcome walk(ExpressionEvaluator& evaluator, const ExprNode& tree) {
    try {
        return Outcome{evaluator.evaluate(reference_values(), tree), ""};
    } catch (const std::invalid_argument& error) {
        return Outcome{0.0, std::string("invalid_argument: ") + error.what()};
    } catch (const std::out_of_range& error) {
        return Outcome{0.0, std::string("out_of_range: ") + error.what()};
    }
}

// Runs `program` into `out`; answers the fault's text, empty when none.
std::string run(CompiledProgram& program, std::vector<double>& out) {
    try {
        program.run(host_values.data(), out.data());
        return "";
    } catch (const std::invalid_argument& error) {
        return std::string("invalid_argument: ") + error.what();
    } catch (const std::out_of_range& error) {
        return std::string("out_of_range: ") + error.what();
    }
}

// Every tree of a seed's batch compiled into one program, tree i stored at
// element i; the run must write, bit for bit, what the walk gives for each
// tree before the first fault, raise that fault, and write nothing after it.
// Answers how many repeated subtrees the program reads back.
std::ptrdiff_t check_batch(std::uint32_t seed, int depth, bool faulty_texts) {
    auto model = random_model();
    TreeMaker maker(seed, *model);
    std::vector<ExprNode> trees;
    for (int i = 0; i < 200; ++i) {
        trees.push_back(maker.make(depth, faulty_texts));
    }
    ProgramBuilder builder(*model, host_values.size());
    for (std::size_t i = 0; i < trees.size(); ++i) {
        builder.add(&trees[i], static_cast<std::int32_t>(i + 1));
    }
    CompiledProgram program = builder.build();
    const double untouched = -12345.0;
    std::vector<double> out(trees.size(), untouched);
    const std::string fault = run(program, out);

    ExpressionEvaluator evaluator(*model);
    std::size_t i = 0;
    for (; i < trees.size(); ++i) {
        const Outcome expected = walk(evaluator, trees[i]);
        if (!expected.fault.empty()) {
            EXPECT_EQ(fault, expected.fault) << "seed " << seed << " tree " << i;
            break;
        }
        EXPECT_EQ(bits(out[i]), bits(expected.value))
            << "seed " << seed << " tree " << i << ": " << out[i] << " expected " << expected.value;
    }
    if (i == trees.size()) {
        EXPECT_EQ(fault, "") << "seed " << seed;
    }
    for (++i; i < trees.size(); ++i) {
        EXPECT_EQ(bits(out[i]), bits(untouched)) << "seed " << seed << " tree " << i;
    }
    return std::count_if(program.code().begin(), program.code().end(),
                         [](const Instruction& in) { return in.op == Op::PUSH_SLOT; });
}

struct BatchCase {
    const char* what;
    int depth;
    bool faulty_texts;
};

class compiled_program_random : public testing::TestWithParam<BatchCase> {};

TEST_P(compiled_program_random, matches_the_walk_bit_for_bit) {
    std::ptrdiff_t shared = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        shared += check_batch(seed, GetParam().depth, GetParam().faulty_texts);
    }
    EXPECT_GT(shared, 100) << "too few repeats to test the sharing";
}

INSTANTIATE_TEST_SUITE_P(compiled_program, compiled_program_random,
                         testing::Values(BatchCase{"shallow", 2, false},
                                         BatchCase{"deep", 6, false},
                                         BatchCase{"with text faults", 4, true}));

struct ShapeCase {
    const char* what;
    ExprNode (*tree)(const TreeBuilder& make);
};

class compiled_program_shapes : public testing::TestWithParam<ShapeCase> {};

// The shapes the compiler folds, fuses or shares, each against the walk:
// a fold must perform the walk's operation, a dropped argument must not be
// one that raises.
TEST_P(compiled_program_shapes, match_the_walk) {
    auto model = random_model();
    const ExprNode tree = GetParam().tree(TreeBuilder(*model));
    ProgramBuilder builder(*model, host_values.size());
    builder.add(&tree, 1);
    builder.add(&tree, 2);  // the whole tree repeated
    CompiledProgram program = builder.build();
    std::vector<double> out(2, -1.0);
    const std::string fault = run(program, out);
    ExpressionEvaluator evaluator(*model);
    const Outcome expected = walk(evaluator, tree);
    EXPECT_EQ(fault, expected.fault);
    if (expected.fault.empty()) {
        EXPECT_EQ(bits(out[0]), bits(expected.value)) << out[0] << " expected " << expected.value;
        EXPECT_EQ(bits(out[1]), bits(expected.value));
    }
}

INSTANTIATE_TEST_SUITE_P(
    compiled_program, compiled_program_shapes,
    testing::Values(
        ShapeCase{"sum of -0.0 folds to +0.0",
                  [](const TreeBuilder& make) { return make.parent(0, {make.number(-0.0)}); }},
        ShapeCase{"product of two NaNs keeps the child's",
                  [](const TreeBuilder& make) {
                      return make.parent(1, {make.number(nan), make.number(-nan)});
                  }},
        ShapeCase{"sum of two NaNs keeps the child's",
                  [](const TreeBuilder& make) {
                      return make.parent(0, {make.number(-nan), make.text(4, "f")});
                  }},
        ShapeCase{
            "unknown function drops a known argument",
            [](const TreeBuilder& make) { return make.parent(6, {make.text(4, "a")}, "sin"); }},
        ShapeCase{
            "unknown function still converts its text",
            [](const TreeBuilder& make) { return make.parent(6, {make.text(3, "abc")}, "sin"); }},
        ShapeCase{"power folds pow(0, 0) without children",
                  [](const TreeBuilder& make) { return make.parent(5, {}); }},
        ShapeCase{"power of one child takes exponent 0",
                  [](const TreeBuilder& make) { return make.parent(5, {make.text(4, "f")}); }},
        ShapeCase{
            "power evaluates no third child",
            [](const TreeBuilder& make) {
                return make.parent(5, {make.number(2.0), make.number(3.0), make.text(3, "x")});
            }},
        ShapeCase{"function evaluates no second child",
                  [](const TreeBuilder& make) {
                      return make.parent(6, {make.number(4.0), make.text(3, "x")}, "sqrt");
                  }},
        ShapeCase{"function without a name evaluates nothing",
                  [](const TreeBuilder& make) { return make.parent(6, {make.text(3, "x")}); }},
        ShapeCase{"shared subtree inside a sum, fused then split",
                  [](const TreeBuilder& make) {
                      return make.parent(0, {make.parent(6, {make.text(4, "c")}, "ln"),
                                             make.parent(6, {make.text(4, "c")}, "ln")});
                  }},
        ShapeCase{"shared power inside a product", [](const TreeBuilder& make) {
                      return make.parent(
                          1,
                          {make.number(3.0), make.parent(5, {make.text(4, "a"), make.number(-1.0)}),
                           make.parent(5, {make.text(4, "a"), make.number(-1.0)})});
                  }}));

// A second run reads the texts it kept, and still raises a fault each time.
TEST(compiled_program, runs_again_with_the_same_results) {
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        auto model = random_model();
        TreeMaker maker(seed, *model);
        ProgramBuilder builder(*model, host_values.size());
        const std::size_t trees = 50;
        for (std::size_t i = 0; i < trees; ++i) {
            const ExprNode tree = maker.make(4, true);
            builder.add(&tree, static_cast<std::int32_t>(i + 1));
        }
        CompiledProgram program = builder.build();
        std::vector<double> first(trees, 0.0);
        std::vector<double> second(trees, 0.0);
        const std::string first_fault = run(program, first);
        EXPECT_EQ(run(program, second), first_fault);
        for (std::size_t i = 0; i < trees; ++i) {
            EXPECT_EQ(bits(first[i]), bits(second[i])) << "seed " << seed << " tree " << i;
        }
    }
}

// A null tree is worth 0.0; a number below 1 is evaluated but kept nowhere,
// so its fault still raises.
TEST(compiled_program, null_trees_and_numbers_below_one) {
    auto model = random_model();
    const ExprNode text = TreeBuilder(*model).text(NODE_NUMERIC_TEXT, "abc");
    ProgramBuilder builder(*model, host_values.size());
    builder.add(nullptr, 1);
    builder.add(&text, 0);
    CompiledProgram program = builder.build();
    std::vector<double> out{-1.0};
    EXPECT_EQ(run(program, out), "invalid_argument: invalid stof argument");
    EXPECT_EQ(bits(out[0]), bits(0.0));
}

// A locale whose decimal separator is a comma, made for the test in a folder
// of its own; empty when this machine cannot make one.
std::string comma_locale(const std::string& folder) {
    const std::string command =
        "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return "";
    }
    setenv("LOCPATH", folder.c_str(), 1);
    return "de_DE.UTF-8";
}

// A kept conversion holds only as long as the decimal separator does: "2,5"
// reads 2 with a point and 2.5 with a comma.
TEST(compiled_program, converts_texts_again_when_the_decimal_separator_changes) {
    char folder[] = "/tmp/quillon-locale-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string locale = comma_locale(folder);
    if (locale.empty() || !std::setlocale(LC_NUMERIC, locale.c_str())) {
        std::system(("rm -rf " + std::string(folder)).c_str());
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    }
    std::setlocale(LC_NUMERIC, "C");
    auto model = random_model();
    const TreeBuilder trees(*model);
    const ExprNode comma = trees.text(NODE_NUMERIC_TEXT, "2,5");
    const ExprNode point = trees.text(NODE_NUMERIC_TEXT, "2.5");
    ProgramBuilder builder(*model, host_values.size());
    builder.add(&comma, 1);
    builder.add(&point, 2);
    CompiledProgram program = builder.build();
    std::vector<double> out(2, 0.0);
    for (const char* name : {"C", locale.c_str(), "C"}) {
        std::setlocale(LC_NUMERIC, name);
        program.run(host_values.data(), out.data());
        const bool comma_separates = std::string(name) != "C";
        EXPECT_EQ(out[0], comma_separates ? 2.5 : 2.0) << name;
        EXPECT_EQ(out[1], comma_separates ? 2.0 : 2.5) << name;
    }
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::system(("rm -rf " + std::string(folder)).c_str());
}

// Nested far deeper than a call stack allows, compiled and run without
// recursion: sum(product(sum(... a ...))).
TEST(compiled_program, tree_deeper_than_any_call_stack) {
    auto model = random_model();
    const TreeBuilder trees(*model);
    ExprNode root = trees.text(NODE_VARIABLE, "c");  // 0.5
    // abs(e), e being -3.0: every level's second operand, made once since
    // equal subtrees may share their records.
    const ExprNode three = trees.parent(NODE_FUNCTION, {trees.text(NODE_VARIABLE, "e")}, "abs");
    for (int level = 0; level < 200000; ++level) {
        root = trees.parent(level % 2 == 0 ? NODE_SUM : NODE_PRODUCT, {root, three});
    }
    ProgramBuilder builder(*model, host_values.size());
    builder.add(&root, 1);
    CompiledProgram program = builder.build();
    std::vector<double> out{0.0};
    program.run(host_values.data(), out.data());
    ExpressionEvaluator evaluator(*model);
    EXPECT_EQ(bits(out[0]), bits(evaluator.evaluate(reference_values(), root)));
}

}  // namespace
