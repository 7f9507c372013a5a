#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "tool_run.h"

// Every example converges to the solution written down beside it, which was
// worked out from the physics without the model file; and check finds
// nothing wrong with it.
namespace {

const std::filesystem::path EXAMPLES = QUILLON_EXAMPLES_DIR;
// A heat rod large enough to be a real discretisation, small enough to keep
// the suite fast; its profile differs from the 10^5-node one by 3e-5 K.
constexpr int ROD_NODES = 1000;

nlohmann::json read_json(const std::filesystem::path& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in);
}

// A folder of its own, removed with what it holds.
class TempFolder {
  public:
    TempFolder() {
        char name[] = "/tmp/quillon-examples-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

nlohmann::json solve(const std::string& model, const nlohmann::json& expected) {
    std::vector<std::string> arguments{"solve", model, "--format", "json"};
    for (const nlohmann::json& argument :
         expected.value("solve_arguments", nlohmann::json::array())) {
        arguments.push_back(argument.get<std::string>());
    }
    const ProgramRun run = run_quillon(arguments);
    EXPECT_EQ(run.exit_code, 0) << model << '\n' << run.err;
    return run.json();
}

double value_of(const nlohmann::json& solution, const std::string& symbol) {
    for (const nlohmann::json& variable : solution["variables"]) {
        if (variable["symbol"] == symbol) {
            return variable["value"].get<double>();
        }
    }
    ADD_FAILURE() << "the solution has no variable " << symbol;
    return std::numeric_limits<double>::quiet_NaN();
}

void expect_clean_check(const std::string& model) {
    const ProgramRun run = run_quillon({"check", model, "--format", "json"});
    EXPECT_EQ(run.exit_code, 0) << model;
    EXPECT_EQ(run.json()["findings"], nlohmann::json::array()) << model << '\n' << run.out;
}

TEST(tool_examples, stored_models_reach_their_written_down_solutions) {
    for (const char* name : {"flash_drum", "cstr"}) {
        const std::string model = (EXAMPLES / name / "model.json").string();
        const nlohmann::json expected = read_json(EXAMPLES / name / "expected.json");
        const nlohmann::json solution = solve(model, expected);
        EXPECT_EQ(solution["status"], "Converged") << name;
        const double relative = expected["tolerance"]["relative"];
        const double absolute = expected["tolerance"]["absolute"];
        ASSERT_EQ(solution["variables"].size(), expected["values"].size()) << name;
        for (const auto& [symbol, value] : expected["values"].items()) {
            const double want = value.get<double>();
            EXPECT_NEAR(value_of(solution, symbol), want, absolute + relative * std::fabs(want))
                << name << ": " << symbol;
        }
        expect_clean_check(model);
    }
}

TEST(tool_examples, generated_heat_rod_reaches_its_profile) {
    const TempFolder folder;
    const std::filesystem::path rod = EXAMPLES / "heat_rod";
    const ProgramRun generated =
        run_program(QUILLON_PYTHON, {(rod / "generate.py").string(), std::to_string(ROD_NODES)});
    ASSERT_EQ(generated.exit_code, 0) << generated.err;
    const std::string model = (folder.path() / "heat_rod.json").string();
    std::ofstream(model) << generated.out;

    const nlohmann::json expected = read_json(rod / "expected.json");
    const nlohmann::json solution = solve(model, expected);
    EXPECT_EQ(solution["status"], "Converged");
    EXPECT_EQ(solution["variables"].size(), static_cast<std::size_t>(ROD_NODES));
    const double absolute = expected["tolerance"]["absolute"];
    for (const nlohmann::json& point : expected["profile"]) {
        const int node = static_cast<int>(std::lround(point["fraction"].get<double>() * ROD_NODES));
        if (node > 0) {  // node 0 is the base, held at its temperature: no variable
            EXPECT_NEAR(value_of(solution, "T_" + std::to_string(node)), point["temperature"],
                        absolute)
                << "at node " << node;
        }
    }
    expect_clean_check(model);
}

}  // namespace
