// Deeply nested files load, and fail, without deep recursion: the host may run
// the plug-in on a thread with a small stack.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

#include "model_definition.h"
#include "repeat_text.h"
#include "small_stack.h"
#include "temp_model_file.h"

namespace {

// An equation whose residual is a chain of `depth` sums around the number 1.
std::string nested_sums(std::size_t depth) {
    return R"({"EquationList":[)" + repeat(R"({"Type":0,"SubExpressions":[)", depth) +
           R"({"Type":2,"DoubleValue":1})" + repeat("]}", depth) + "]}";
}

// A model variable whose derivative tree holds an entry whose derivative tree
// holds an entry ..., `depth` times.
std::string nested_differentials(std::size_t depth) {
    return R"({"Variables":[)" +
           repeat(R"({"VariableSymbol":"X","Differential":{"Type":0,"Variables":[)", depth) +
           R"({"VariableSymbol":"Y"})" + repeat("]}}", depth) + "]}";
}

std::size_t depth_of(const ExprNode& root) {
    std::size_t depth = 1;
    for (const ExprNode* node = &root; !node->subexpressions().empty();
         node = &node->subexpressions().front()) {
        ++depth;
    }
    return depth;
}

TEST(model_depth, deep_trees_load_and_free_on_a_small_stack) {
    TempModelFile file(nested_sums(100000));
    run_on_small_stack([&] {
        ModelDefinition model;
        model.load_model(file.path());
        ASSERT_EQ(model.equations().size(), 1u);
        EXPECT_EQ(depth_of(model.equations()[0]), 100001u);
    });
}

TEST(model_depth, deep_derivative_chains_load_and_free_on_a_small_stack) {
    TempModelFile file(nested_differentials(100000));
    run_on_small_stack([&] {
        ModelDefinition model;
        model.load_model(file.path());
        EXPECT_EQ(model.variables().size(), 1u);
    });
}

TEST(model_depth, a_fault_deep_inside_frees_the_partial_tree) {
    std::string text = nested_sums(100000);
    text.replace(text.find(R"("DoubleValue":1)"), 15, R"("DoubleValue":"1")");
    TempModelFile file(text);
    run_on_small_stack([&] {
        ModelDefinition model;
        EXPECT_THROW(model.load_model(file.path()), nlohmann::json::type_error);
        EXPECT_TRUE(model.equations().empty());
    });
}

TEST(model_depth, a_million_nested_arrays_fail_cleanly) {
    const std::size_t depth = 1000000;
    TempModelFile file(R"({"EquationList":[{"Type":0,"SubExpressions":)" + repeat("[", depth) +
                       repeat("]", depth) + "}]}");
    run_on_small_stack([&] {
        ModelDefinition model;
        try {
            model.load_model(file.path());
            FAIL() << "loaded";
        } catch (const nlohmann::json::type_error& error) {
            EXPECT_EQ(error.id, 305);
        }
    });
}

TEST(model_depth, a_million_nested_guard_objects_load) {
    const std::size_t depth = 1000000;
    TempModelFile file(R"({"EquationList":[{"Type":0,"object":)" + repeat(R"({"object":)", depth) +
                       "null" + repeat("}", depth) + "}]}");
    run_on_small_stack([&] {
        ModelDefinition model;
        model.load_model(file.path());
        EXPECT_EQ(model.equations().size(), 1u);
    });
}

}  // namespace
