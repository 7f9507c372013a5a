#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model_json.h"
#include "temp_model_file.h"
#include "tool_run.h"

// check on one equation of 10^5 terms, sum of c_i x_i = 1, with one entry's
// derivative wrong. Comparing every variable's derivative by evaluating the
// whole residual once per variable costs some 10^11 node evaluations, hours,
// far beyond ctest's timeout; comparing them together and splitting only where
// they disagree takes seconds (about 30 evaluations of the residual per
// halving). No time is measured: the timeout is the guard.
namespace {

using namespace model_json;

constexpr int TERMS = 100000;
constexpr int WRONG = 77777;

std::string wide_equation() {
    std::vector<json> terms, entries, variables;
    for (int i = 1; i <= TERMS; ++i) {
        const std::string symbol = "x" + std::to_string(i);
        const double coefficient = 1 + i % 7;
        terms.push_back(product({number(coefficient), reference(symbol)}));
        entries.push_back(entry(symbol, number(i == WRONG ? coefficient + 1 : coefficient)));
        variables.push_back(variable(symbol, {0.0, {}, {}}));
    }
    terms.push_back(number(-1));
    return model_text({equation("wide", sum(std::move(terms)), std::move(entries))},
                      std::move(variables));
}

TEST(tool_check_size, one_equation_of_a_hundred_thousand_terms_finds_its_one_wrong_derivative) {
    const TempModelFile model(wide_equation());
    const ProgramRun run = run_quillon({"check", model.path(), "--format", "json"});
    ASSERT_EQ(run.exit_code, 1) << run.err;
    const nlohmann::json check = run.json();
    std::vector<std::string> mismatched;
    for (const auto& finding : check["findings"]) {
        if (finding["kind"] == "derivative-mismatch") {
            mismatched.push_back(finding["variable"].get<std::string>());
        }
    }
    EXPECT_EQ(mismatched, std::vector<std::string>{"x" + std::to_string(WRONG)});
}

}  // namespace
