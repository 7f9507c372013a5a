#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temp_model_file.h"
#include "tool_run.h"

// quillon sweep --follow: the curve of solutions followed by arc length
// through its turning points; and what a plain sweep says where the curve
// turns back or its solve jumps to another branch.
namespace {

const std::filesystem::path CSTR = std::filesystem::path(QUILLON_EXAMPLES_DIR) / "adiabatic_cstr";

nlohmann::json expected_cstr() {
    std::ifstream in(CSTR / "expected.json");
    return nlohmann::json::parse(in);
}

std::string cstr_model() {
    return (CSTR / "model.eq").string();
}

std::string text_of(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// `quillon sweep ARGUMENTS --follow --format json`.
ProgramRun run_followed(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"sweep"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    for (const char* more : {"--follow", "--format", "json"}) {
        all.emplace_back(more);
    }
    return run_quillon(all);
}

TEST(tool_sweep_follow, s_curve_turning_points_match_the_closed_form) {
    const ProgramRun run = run_followed({cstr_model(), "--vary", "tau=0.2:10:40"});
    ASSERT_EQ(run.exit_code, 0) << testing::PrintToString(run);
    const nlohmann::json curve = run.json();
    const nlohmann::json expected = expected_cstr();
    const double within = expected["tolerance"]["relative"].get<double>();
    ASSERT_EQ(curve["turning_points"].size(), 2u);
    for (std::size_t index = 0; index < 2; ++index) {
        const nlohmann::json& found = curve["turning_points"][index];
        const nlohmann::json& known = expected["turning_points"][index];
        EXPECT_NEAR(found["value"].get<double>(), known["value"].get<double>(),
                    within * known["value"].get<double>());
        for (const auto& [symbol, value] : known["outputs"].items()) {
            EXPECT_NEAR(found["outputs"][symbol].get<double>(), value.get<double>(),
                        within * std::fabs(value.get<double>()))
                << symbol;
        }
    }
    EXPECT_TRUE(curve["branch_points"].empty());
    EXPECT_EQ(curve["end"]["reason"], "left-range");
    // The points in the curve's order: out from 0.2, back past ignition,
    // forward again past extinction to 10; the marked rows among them.
    const nlohmann::json& points = curve["points"];
    EXPECT_EQ(points.front()["point"], "start");
    EXPECT_EQ(points.back()["point"], "end");
    EXPECT_EQ(points.back()["value"], 10.0);
    double arc_length = -1;
    int turning_rows = 0;
    for (const nlohmann::json& point : points) {
        EXPECT_GT(point["arc_length"].get<double>(), arc_length);
        arc_length = point["arc_length"].get<double>();
        turning_rows += point["point"] == "turning-point" ? 1 : 0;
    }
    EXPECT_EQ(turning_rows, 2);
}

TEST(tool_sweep_follow, text_and_csv_mark_the_turning_points_and_say_how_it_ended) {
    const TempModelFile plot("");
    const ProgramRun text = run_quillon({"sweep", cstr_model(), "--vary", "tau=0.2:10:20",
                                         "--follow", "--output", "X", "--plot", plot.path()});
    ASSERT_EQ(text.exit_code, 0) << testing::PrintToString(text);
    EXPECT_NE(text.out.find("turning point\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("The curve leaves the range at tau = 10.\n2 turning points at tau = "
                            "5.713298398 and 0.8282896579; no branch point.\n"),
              std::string::npos)
        << text.out;
    const std::string svg = text_of(plot.path());
    EXPECT_NE(svg.find("<polygon"), std::string::npos);
    EXPECT_NE(svg.find(">turning point<"), std::string::npos);
    const ProgramRun csv = run_quillon({"sweep", cstr_model(), "--vary", "tau=0.2:10:20",
                                        "--follow", "--output", "X", "--format", "csv"});
    ASSERT_EQ(csv.exit_code, 0) << testing::PrintToString(csv);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), "tau,X,arc_length,iterations,solves,point");
    EXPECT_NE(csv.out.find(",turning-point\n"), std::string::npos);
}

// Curves followed either way, their turning and branch points in the order
// of the curve: the S-curve downwards from the ignited state (extinction
// first), and a pitchfork x^3 = p x passed along x = 0, where x = ±sqrt(p)
// branch off at p = 0.
TEST(tool_sweep_follow, turning_and_branch_points_come_in_the_curves_order) {
    const TempModelFile pitchfork(
        "var p = -1\nvar x = 0\nvar z = -1\neq fork: x^3 - p*x = 0\neq line: z = p\n");
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<double> turning;
        std::vector<double> branch;
        double last;
    } cases[] = {
        {"s_curve_downwards",
         {cstr_model(), "--vary", "tau=10:0.2:20", "--at", "X=0.99", "--at", "T=499", "--at",
          "k=10"},
         {0.8282896579456728, 5.713298398404626},
         {},
         0.2},
        {"pitchfork", {pitchfork.path(), "--vary", "p=-1:1.3:23"}, {}, {0.0}, 1.3},
    };
    for (const auto& c : cases) {
        const ProgramRun run = run_followed(c.arguments);
        ASSERT_EQ(run.exit_code, 0) << c.name << testing::PrintToString(run);
        const nlohmann::json curve = run.json();
        EXPECT_EQ(curve["end"]["reason"], "left-range") << c.name;
        EXPECT_EQ(curve["points"].back()["value"], c.last) << c.name;
        for (const auto& [list, expected] :
             {std::pair{"turning_points", c.turning}, std::pair{"branch_points", c.branch}}) {
            ASSERT_EQ(curve[list].size(), expected.size()) << c.name << " " << list;
            for (std::size_t index = 0; index < expected.size(); ++index) {
                EXPECT_NEAR(curve[list][index]["value"].get<double>(), expected[index],
                            1e-6 * std::max(1.0, expected[index]))
                    << c.name << " " << list;
            }
        }
    }
}

// x^2 = p, x within [0, 1.5]: the branch x = sqrt(p) reaches x's upper bound
// at p = 2.25; with x free of bounds, it leaves the range at p = 4.
TEST(tool_sweep_follow, ends_are_said_with_their_exit_codes) {
    const TempModelFile bounded("var p = 1\nvar x = 1 in [0, 1.5]\neq root: x^2 = p\n");
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int exit_code;
        std::string reason;
        std::string message;
    } cases[] = {
        {"bound",
         {bounded.path(), "--vary", "p=0.5:4:10"},
         0,
         "bound",
         "x reaches its upper bound 1.5 at p = 2.25, where the curve leaves the variables' bounds"},
        {"max_points",
         {bounded.path(), "--vary", "p=0.5:4:10", "--max-points", "3"},
         1,
         "max-points",
         "the curve was followed for 3 points (--max-points) and goes on beyond p = "},
        {"no_solution_at_from",
         {bounded.path(), "--vary", "p=-1:1:4"},
         1,
         "start-failed",
         "the solve at p = -1 stopped: "},
    };
    for (const auto& c : cases) {
        const ProgramRun run = run_followed(c.arguments);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.name << testing::PrintToString(run);
        const nlohmann::json end = run.json()["end"];
        EXPECT_EQ(end["reason"], c.reason) << c.name;
        EXPECT_EQ(end["message"].get<std::string>().rfind(c.message, 0), 0u)
            << c.name << ": " << end["message"];
        if (c.exit_code != 0) {
            EXPECT_EQ(run.err.rfind("quillon: sweep: " + c.message, 0), 0u) << run.err;
        }
    }
}

TEST(tool_sweep_follow, usage_faults_are_named) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--vary", "tau=1:1:4", "--follow"},
         "--follow: FROM and TO of --vary must differ; the curve is followed while tau stays "
         "between them"},
        {{"--vary", "tau=1:2:4", "--follow", "--min-step", "0.5", "--max-step", "0.1"},
         "--min-step 0.5 is above --max-step 0.1"},
        {{"--vary", "tau=1:2:4", "--max-points", "4"}, "--max-points requires --follow"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"sweep", cstr_model()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProgramRun run = run_quillon(arguments);
        EXPECT_EQ(run.exit_code, 2) << testing::PrintToString(run);
        EXPECT_EQ(run.err, "quillon: error: " + c.message + "\n");
    }
}

// Up the lower branch past ignition: every value beyond fails, and says that
// the curve turned back near 5.71. Down the upper branch past extinction: the
// solve lands on the lower branch, a jump the sweep flags.
TEST(tool_sweep_follow, plain_sweep_says_where_the_curve_turned_or_jumped) {
    const ProgramRun up = run_quillon(
        {"sweep", cstr_model(), "--vary", "tau=0.2:10:14", "--output", "X", "--format", "json"});
    EXPECT_EQ(up.exit_code, 1) << testing::PrintToString(up);
    const nlohmann::json up_points = up.json()["points"];
    for (const nlohmann::json& point : up_points) {
        if (point["status"] == "Converged") {
            EXPECT_TRUE(point["note"].is_null()) << point;
            continue;
        }
        EXPECT_EQ(point["note"]["kind"], "turning-point") << point;
        EXPECT_NEAR(point["note"]["value"].get<double>(), 5.7133, 1e-4);
        EXPECT_EQ(point["note"]["message"],
                  "the solution curve has a turning point near tau = 5.71; `--follow` traces "
                  "around it");
    }
    EXPECT_NE(up.err.find("quillon: sweep: tau = 5.8: the solution curve has a turning point "
                          "near tau = 5.71; `--follow` traces around it\n"),
              std::string::npos)
        << up.err;
    const ProgramRun down =
        run_quillon({"sweep", cstr_model(), "--vary", "tau=10:0.2:14", "--at", "X=0.99", "--at",
                     "T=499", "--at", "k=10", "--output", "X", "--format", "json"});
    EXPECT_EQ(down.exit_code, 0) << testing::PrintToString(down);
    const nlohmann::json down_points = down.json()["points"];
    for (std::size_t index = 0; index + 1 < down_points.size(); ++index) {
        EXPECT_TRUE(down_points[index]["note"].is_null()) << down_points[index];
    }
    const nlohmann::json& last = down_points.back();
    EXPECT_EQ(last["note"]["kind"], "branch-jump");
    // x = ln(5 - p) has no turn: beyond p = 5 the equation is undefined, and
    // a value there fails without a note.
    const TempModelFile log_model("var p = 0\nvar x = 1\neq e: x = ln(5 - p)\n");
    const ProgramRun undefined =
        run_quillon({"sweep", log_model.path(), "--vary", "p=0:6:3", "--format", "json"});
    EXPECT_EQ(undefined.exit_code, 1) << testing::PrintToString(undefined);
    const nlohmann::json beyond = undefined.json()["points"].back();
    EXPECT_EQ(beyond["status"], "Not converged");
    EXPECT_TRUE(beyond["note"].is_null()) << beyond;
    EXPECT_EQ(last["note"]["message"],
              "jumped to another branch: the curve from tau = 0.9 turns back near tau = 0.828; "
              "`--follow` traces it");
}

}  // namespace
