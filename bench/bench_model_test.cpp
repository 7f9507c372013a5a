// The bench model's derivative trees are the exact partial derivatives of its
// residuals: checked against central differences through the tree walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "bench_model.h"
#include "evaluate_expression.h"
#include "model_writers.h"
#include "temp_model_file.h"

namespace {

class BenchModel {
  public:
    explicit BenchModel(int count) : file_(text_of(count)) {
        model_.load_model(file_.path());
        std::int32_t number = 0;
        for (auto& variable : model_.variables()) {
            variable.variable_number = ++number;
            values_.push_back(bench_value(number - 1));
        }
    }

    const ModelDefinition& model() const { return model_; }
    std::vector<double>& values() { return values_; }

    double value_of(const ExprNode& tree) {
        return evaluate_expression(OneBasedValues(values_.data(), values_.size()), tree, model_);
    }

  private:
    static std::string text_of(int count) {
        std::ostringstream text;
        write_model_file(text, count);
        return text.str();
    }

    TempModelFile file_;
    ModelDefinition model_;
    std::vector<double> values_;
};

TEST(bench_model, derivatives_match_central_differences) {
    BenchModel bench(40);
    ASSERT_EQ(bench.model().equations().size(), 40u);
    for (const auto& equation : bench.model().equations()) {
        ASSERT_EQ(equation.variables().size(), 3u);
        for (const auto& entry : equation.variables()) {
            const int number = bench.model().find_variable(entry.variable_symbol)->variable_number;
            double& x = bench.values()[static_cast<std::size_t>(number - 1)];
            const double start = x;
            const double step = 1e-6;
            x = start + step;
            const double above = bench.value_of(equation);
            x = start - step;
            const double below = bench.value_of(equation);
            x = start;
            const double difference = (above - below) / (2 * step);
            EXPECT_NEAR(bench.value_of(*entry.differential), difference, 1e-6)
                << equation.equation_name() << " by " << entry.variable_symbol;
        }
    }
}

// Every node kind and all six functions appear, as the bench promises.
TEST(bench_model, uses_every_node_kind_and_function) {
    const BenchEquation equation = bench_equation(3, 40);
    std::vector<const Term*> pending{&equation.residual};
    for (const Term& derivative : equation.derivatives) {
        pending.push_back(&derivative);
    }
    std::vector<int> kinds(7, 0);
    std::vector<std::string> functions;
    while (!pending.empty()) {
        const Term* term = pending.back();
        pending.pop_back();
        ++kinds[static_cast<std::size_t>(term->type)];
        if (term->type == NODE_FUNCTION) {
            functions.push_back(term->text);
        }
        for (const Term& child : term->children) {
            pending.push_back(&child);
        }
    }
    for (int kind = 0; kind < 7; ++kind) {
        EXPECT_GT(kinds[static_cast<std::size_t>(kind)], 0) << "node kind " << kind;
    }
    for (const char* name : {"ln", "log", "lg", "abs", "exp", "sqrt"}) {
        EXPECT_NE(std::find(functions.begin(), functions.end(), name), functions.end()) << name;
    }
}

}  // namespace
