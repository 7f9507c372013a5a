#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_models.h"
#include "tool_run.h"

// quillon sweep: one solve per value of the varied variable, each from the
// last solution, the step cut when a solve fails.
namespace {

using namespace tool_models;

// root: x^2 - p = 0, x from 1 within [0, inf): x = sqrt(p), none for p < 0.
std::string square_root_of_p() {
    return model_text(
        {equation("root",
                  sum({power(reference("x"), number(2)), product({number(-1), reference("p")})}),
                  {entry("x", product({number(2), reference("x")})), entry("p", number(-1))})},
        {variable("x", {1.0, 0.0, {}}), variable("p", {1.0, {}, {}})});
}

TEST(tool_sweep, each_value_is_solved_and_reported_in_every_format) {
    const TempModelFile model(square_root_of_p());
    const ProgramRun json = run_quillon(
        {"sweep", model.path(), "--vary", "p=1:4:3", "--output", "x", "--format", "json"});
    ASSERT_EQ(json.exit_code, 0) << testing::PrintToString(json);
    const nlohmann::json sweep = json.json();
    EXPECT_EQ(sweep["vary"], "p");
    ASSERT_EQ(sweep["points"].size(), 4u);
    for (int index = 0; index < 4; ++index) {
        const nlohmann::json& point = sweep["points"][static_cast<std::size_t>(index)];
        EXPECT_EQ(point["value"], index + 1.0);
        EXPECT_EQ(point["status"], "Converged");
        EXPECT_NEAR(point["outputs"]["x"].get<double>(), std::sqrt(index + 1.0), 1e-9);
    }
    const ProgramRun csv =
        run_quillon({"sweep", model.path(), "--vary", "p=4:1:3", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << testing::PrintToString(csv);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "p,x,iterations,solves,status,stop_reason");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 5);
    const ProgramRun text = run_quillon({"sweep", model.path(), "--vary", "p=1:4:3"});
    ASSERT_EQ(text.exit_code, 0) << testing::PrintToString(text);
    EXPECT_EQ(text.out.rfind("Sweep of p from 1 to 4 in 3 steps\n", 0), 0u) << text.out;
}

TEST(tool_sweep, a_failed_step_is_cut_and_covered_in_shorter_steps) {
    const TempModelFile model(square_root_of_p());
    // Newton's method needs 5 iterations from x = 1 to x = 2, but 4 from 1 to
    // sqrt(2.5) and from there to 2.
    const ProgramRun run = run_quillon(
        {"sweep", model.path(), "--vary", "p=1:4:1", "--max-iter", "4", "--format", "json"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json last = run.json()["points"][1];
    EXPECT_EQ(last["status"], "Converged");
    EXPECT_GT(last["solves"].get<int>(), 1);
    EXPECT_NEAR(last["outputs"]["x"].get<double>(), 2.0, 1e-9);
}

// x^2 = p has no root for p < 0: the solve ends at the least-squares point
// x = 0, a minimum of the merit that is no root; shorter steps toward the
// value are tried before it is given up, and the sweep goes on.
TEST(tool_sweep, a_value_without_solution_is_given_up_and_the_sweep_goes_on) {
    const TempModelFile model(square_root_of_p());
    const ProgramRun run =
        run_quillon({"sweep", model.path(), "--vary", "p=4:-4:2", "--format", "json"});
    EXPECT_EQ(run.exit_code, 1) << testing::PrintToString(run);
    const nlohmann::json points = run.json()["points"];
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0]["status"], "Converged");
    EXPECT_EQ(points[2]["status"], "Not converged");
    EXPECT_EQ(points[2]["cause"], "local-minimum");
    EXPECT_TRUE(points[2]["outputs"]["x"].is_null());
    // Given up only once the step is below 1/256 of the way: at least 8
    // halvings more than doublings, each after a failed solve, and the first.
    EXPECT_GE(points[2]["solves"].get<int>(), 9);
    EXPECT_EQ(run.err.rfind("quillon: sweep: p = -4: solve stopped: ", 0), 0u) << run.err;
}

// The flash drum outside its two-phase range (below 338.04 K, above
// 355.21 K): each value stops within 30 iterations, in one solve, with the
// vapour fraction held at its bound; inside it, each converges.
TEST(tool_sweep, a_flash_outside_its_two_phase_range_stops_soon) {
    const ProgramRun run =
        run_quillon({"sweep", std::string(QUILLON_EXAMPLES_DIR) + "/flash_drum/model.json",
                     "--free", "T_spec", "--vary", "T=330:370:8", "--format", "json"});
    EXPECT_EQ(run.exit_code, 1) << testing::PrintToString(run);
    // Held here: a range-for over a member of the temporary would outlive it.
    const nlohmann::json document = run.json();
    for (const nlohmann::json& point : document["points"]) {
        const double temperature = point["value"];
        const bool two_phase = temperature > 338.04 && temperature < 355.21;
        EXPECT_EQ(point["status"], two_phase ? "Converged" : "Not converged") << temperature;
        if (!two_phase) {
            EXPECT_EQ(point["stop_reason"], "no-decrease") << temperature;
            EXPECT_EQ(point["cause"], "bounds") << temperature;
            EXPECT_LE(point["iterations"].get<int>(), 30) << temperature;
            EXPECT_EQ(point["solves"].get<int>(), 1) << temperature;
        }
    }
}

TEST(tool_sweep, usage_faults_are_named) {
    const TempModelFile model(square_root_of_p());
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--vary", "p=1:2"}, "--vary p=1:2: not of the form SYMBOL=FROM:TO:STEPS"},
        {{"--vary", "p=1:2:0"}, "--vary p=1:2:0: STEPS must be a whole number from 1 to 1000000"},
        {{"--vary", "p=1:2:1.5"},
         "--vary p=1:2:1.5: STEPS must be a whole number from 1 to 1000000"},
        {{"--vary", "p=a:2:1"}, "--vary p=a:2:1: not of the form SYMBOL=FROM:TO:STEPS"},
        {{"--vary", "q=1:2:1"}, "--vary q: the model has no variable 'q'; did you mean x or p?"},
        {{"--vary", "p=1:2:1", "--fix", "p=3"},
         "--vary p: p is varied, so --fix cannot give it a value too"},
        // Names match in any letter case, so this is the same variable.
        {{"--vary", "P=1:2:1", "--fix", "p=3"},
         "--vary P: P is varied, so --fix cannot give it a value too"},
        {{"--vary", "p=1:2:1", "--output", "y"},
         "--output y: the model has no variable 'y'; did you mean x or p?"},
        {{"--vary", "p=1:2:1", "--jobs", "-1"}, "--jobs: '-1' is not a number of at least 0"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"sweep", model.path()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProgramRun run = run_quillon(arguments);
        EXPECT_EQ(run.exit_code, 2) << testing::PrintToString(run);
        EXPECT_EQ(run.err, "quillon: error: " + c.message + "\n");
    }
}

TEST(tool_sweep, plot_draws_the_outputs_against_the_varied_variable) {
    const TempModelFile model(square_root_of_p());
    const TempModelFile plot("");
    const ProgramRun run =
        run_quillon({"sweep", model.path(), "--vary", "p=1:4:3", "--plot", plot.path()});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    std::ifstream in(plot.path());
    std::ostringstream svg;
    svg << in.rdbuf();
    EXPECT_EQ(svg.str().rfind("<svg", 0), 0u);
    EXPECT_NE(svg.str().find(">x<"), std::string::npos);
    EXPECT_NE(svg.str().find(">p<"), std::string::npos);
    EXPECT_NE(svg.str().find("<polyline"), std::string::npos);
}

// Lines of `text` that start with `prefix`, that prefix taken off.
std::vector<std::string> lines_after(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line.substr(prefix.size(), line.find(':', prefix.size())));
        }
    }
    return lines;
}

// With jobs, a plain sweep shares its values out in runs, one process each:
// the rows are one job's, in order and format, but for the warm starts.
TEST(tool_sweep, jobs_give_the_rows_of_one_job_in_order) {
    const TempModelFile model(square_root_of_p());
    const struct {
        std::string vary;
        std::string jobs;
        int exit_code;
    } cases[] = {
        {"p=1:16:15", "4", 0}, {"p=1:16:15", "0", 0},  // one per core
        {"p=1:4:1", "50", 0},                          // more jobs than values
        {"p=4:-4:8", "3", 1},                          // values without solution in several runs
        {"p=9:-3:3", "2", 1},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> sweep{"sweep", model.path(), "--vary", c.vary};
        std::vector<std::string> jobs = sweep;
        jobs.insert(jobs.end(), {"--jobs", c.jobs});
        for (const std::string format : {"json", "csv", "text"}) {
            std::vector<std::string> one = sweep, many = jobs;
            one.insert(one.end(), {"--format", format});
            many.insert(many.end(), {"--format", format});
            const ProgramRun alone = run_quillon(one);
            const ProgramRun shared = run_quillon(many);
            const std::string label = c.vary + " --jobs " + c.jobs + " " + format;
            ASSERT_EQ(alone.exit_code, c.exit_code) << label << testing::PrintToString(alone);
            ASSERT_EQ(shared.exit_code, c.exit_code) << label << testing::PrintToString(shared);
            EXPECT_EQ(lines_after(shared.err, "quillon: sweep: p = "),
                      lines_after(alone.err, "quillon: sweep: p = "))
                << label;
            if (format != "json") {
                // The counts of each run's first value differ; the shape does not.
                EXPECT_EQ(std::count(shared.out.begin(), shared.out.end(), '\n'),
                          std::count(alone.out.begin(), alone.out.end(), '\n'))
                    << label << '\n'
                    << shared.out << alone.out;
                EXPECT_EQ(shared.out.substr(0, shared.out.find('\n')),
                          alone.out.substr(0, alone.out.find('\n')))
                    << label;
                continue;
            }
            const nlohmann::json mine = shared.json(), theirs = alone.json();
            ASSERT_EQ(mine["points"].size(), theirs["points"].size()) << label;
            for (std::size_t index = 0; index < theirs["points"].size(); ++index) {
                const nlohmann::json& point = mine["points"][index];
                const nlohmann::json& reference = theirs["points"][index];
                EXPECT_EQ(point["value"], reference["value"]) << label << " " << index;
                EXPECT_EQ(point["status"], reference["status"]) << label << " " << index;
                EXPECT_EQ(point["cause"], reference["cause"]) << label << " " << index;
                if (reference["status"] == "Converged") {
                    EXPECT_NEAR(point["outputs"]["x"].get<double>(),
                                reference["outputs"]["x"].get<double>(), 1e-9)
                        << label << " " << index;
                }
            }
        }
    }
}

}  // namespace

// A run of a shared sweep watches its own stretch of the curve: a turn within
// it is noted as one job notes it, and the note comes back through the pipe.
TEST(tool_sweep, jobs_bring_back_the_notes_of_a_turn_within_a_run) {
    const std::string model = std::string(QUILLON_EXAMPLES_DIR) + "/adiabatic_cstr/model.eq";
    const std::vector<std::string> sweep{"sweep",         model,      "--vary",
                                         "tau=0.2:10:28", "--format", "json"};
    std::vector<std::string> jobs = sweep;
    jobs.insert(jobs.end(), {"--jobs", "2"});
    const ProgramRun alone = run_quillon(sweep);
    const ProgramRun shared = run_quillon(jobs);
    ASSERT_EQ(shared.exit_code, 1) << testing::PrintToString(shared);
    const nlohmann::json mine = shared.json(), theirs = alone.json();
    ASSERT_EQ(mine["points"].size(), theirs["points"].size());
    int noted = 0;
    for (std::size_t index = 0; index < mine["points"].size(); ++index) {
        const nlohmann::json& note = mine["points"][index]["note"];
        if (!note.is_null()) {
            ++noted;
            // The warm starts may move the last bits of where the turn is.
            const nlohmann::json& reference = theirs["points"][index]["note"];
            EXPECT_EQ(note["kind"], reference["kind"]) << index;
            EXPECT_EQ(note["message"], reference["message"]) << index;
            EXPECT_NEAR(note["value"].get<double>(), reference["value"].get<double>(), 1e-9)
                << index;
        }
    }
    EXPECT_GT(noted, 0) << shared.out;
}
