// Every example model through the block's compiled evaluation against the
// plain tree walk over the same file, bit for bit, at values that include
// signed zeros, so the block's numbers (which start past a padding block)
// and each tree's compilation are both checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "block_bench.h"
#include "evaluate_expression.h"

namespace {

std::uint64_t bits(double value) {
    std::uint64_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

std::vector<std::string> example_models() {
    std::vector<std::string> paths;
    for (const auto& folder : std::filesystem::directory_iterator(QUILLON_EXAMPLES_DIR)) {
        const auto model = folder.path() / "model.json";
        if (std::filesystem::exists(model)) {
            paths.push_back(model.string());
        }
    }
    return paths;
}

std::string file_text(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The walk over the file's model, its variables numbered as the block's are.
class ReferenceModel {
  public:
    explicit ReferenceModel(const std::string& path) {
        model_.load_model(path);
        std::int32_t number = FIRST_VARIABLE;
        for (auto& variable : model_.variables()) {
            variable.variable_number = number++;
        }
    }
    const ModelDefinition& model() const { return model_; }

  private:
    ModelDefinition model_;
};

// Runs the block at values made from `seed` and compares every residual and
// derivative with the walk's.
void check_at(BlockBench& bench, const std::string& path, int seed) {
    const int count = bench.variables().size();
    for (int number = 1; number <= count; ++number) {
        bench.set_value(number, (number + seed) % 7 == 0 ? -0.0 : 0.25 + 0.37 * number * seed);
    }
    ASSERT_EQ(bench.container().evaluate_residuals(), 0) << path;
    ASSERT_EQ(bench.container().evaluate_jacobian(), 0) << path;

    const ReferenceModel reference(path);
    ExpressionEvaluator walk(reference.model());
    const OneBasedValues values(bench.variables().values(), static_cast<std::size_t>(count));
    int equation_number = FIRST_EQUATION;
    int nonzero = FIRST_NONZERO;
    for (const auto& equation : reference.model().equations()) {
        EXPECT_EQ(bits(bench.residual(equation_number)), bits(walk.evaluate(values, equation)))
            << path << " equation " << equation_number << " seed " << seed;
        ++equation_number;
        for (const auto& entry : equation.variables()) {
            const double expected =
                entry.differential ? walk.evaluate(values, *entry.differential) : 0.0;
            EXPECT_EQ(bits(bench.derivative(nonzero)), bits(expected))
                << path << " nonzero " << nonzero << " seed " << seed;
            ++nonzero;
        }
    }
}

// Evaluated twice at different values, so nothing of the first values may
// stay in the compiled programs.
TEST(compiled_examples, every_example_evaluates_as_the_walk) {
    const std::vector<std::string> paths = example_models();
    ASSERT_FALSE(paths.empty());
    for (const std::string& path : paths) {
        BlockBench bench;
        ASSERT_NE(bench.add("EXAMPLE", file_text(path)), nullptr) << path;
        ASSERT_EQ(bench.container().build_structure(), 0) << path;
        check_at(bench, path, 1);
        check_at(bench, path, 2);
    }
}

}  // namespace
