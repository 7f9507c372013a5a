#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host_system.h"
#include "model_session.h"
#include "temp_model_file.h"
#include "tool_models.h"

// The host's equations seen as a square system: numbers checked before any
// is used as an index, and the plug-in's faults as evaluation statuses.
namespace {

using namespace tool_models;

TEST(host_system, numbers_the_host_does_not_have_are_refused_before_use) {
    const TempModelFile model(linear_pair());
    ModelSession session(QUILLON_PLUGIN_PATH, model.path());
    const struct {
        const char* label;
        std::vector<int> unknowns;
        std::vector<int> equations;
    } cases[] = {
        {"a variable beyond the last", {1, 3}, {1, 2}},
        {"variable 0", {0, 1}, {1, 2}},
        {"a negative variable", {-4, 1}, {1, 2}},
        {"an equation beyond the last", {1, 2}, {1, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(HostSystem(session, c.unknowns, c.equations), std::out_of_range) << c.label;
    }
    EXPECT_NO_THROW(HostSystem(session, {2, 1}, {2, 1}));
}

// A numeric text that is no number fails every evaluation: fatal, with the
// plug-in's words; a solve that meets it at the start hands on the model's
// own exception, as the commands report a model that cannot be evaluated.
TEST(host_system, the_plug_ins_evaluation_fault_is_fatal_and_a_start_fault_is_the_models) {
    const TempModelFile model(x_minus(numeric_text("one")));
    ModelSession session(QUILLON_PLUGIN_PATH, model.path());
    HostSystem system(session, {1}, {1});
    std::vector<double> values;
    EXPECT_EQ(system.residuals({0.0}, values), EvaluationStatus::fatal);
    EXPECT_EQ(system.fault(), "invalid stof argument");
    EXPECT_EQ(system.jacobian({0.0}, values), EvaluationStatus::ok);  // the derivative is 1
    EXPECT_THROW(solve_host(session, {1}, {1}, SolverSettings{}, [](const IterationRecord&) {}),
                 ModelFault);
}

}  // namespace
