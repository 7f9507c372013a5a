#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nonlinear_solver.h"
#include "small_system.h"

// The solver's verdicts on small systems: every stop reason, what it names,
// the scaled convergence test and the bounds.
namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

// x + y - 3 = 0, x - y - 1 = 0: x = 2, y = 1, in one Newton step.
SmallSystem linear_pair(double factor = 1.0) {
    return two_by_two(
        [factor](const Vector& x) {
            return Vector{factor * (x[0] + x[1] - 3), factor * (x[0] - x[1] - 1)};
        },
        [factor](const Vector&) {
            return Vector{factor, factor, factor, -factor};
        });
}

struct StopCase {
    const char* label;
    SmallSystem system;
    Vector start;
    SolverSettings settings;
    SolveStop stop;
    std::vector<int> rows;
    std::vector<int> columns;
    int iterations;  // -1: any
    bool at_round_off;
};

TEST(nonlinear_solver, every_stop_reason_names_what_it_concerns) {
    SolverSettings no_iterations;
    no_iterations.max_iterations = 0;
    SolverSettings unreachable_absolute;
    unreachable_absolute.absolute_tolerance = 1e-30;
    StopCase cases[] = {
        {"converged", linear_pair(), {0, 0}, {}, SolveStop::converged, {}, {}, 1, false},
        {"iteration limit",
         linear_pair(),
         {0, 0},
         no_iterations,
         SolveStop::iteration_limit,
         {},
         {},
         0,
         false},
        {"no decrease: a local minimum of the merit, no root",
         freudenstein_roth(),
         {0.5, -2},
         {},
         SolveStop::no_decrease,
         {},
         {},
         -1,
         false},
        // ln(x) = 0 at x = -1, y - 1 = 0: the residual of row 0 involves x.
        {"non-finite residual",
         SmallSystem(
             2, {{0, 0}, {1, 1}},
             [](const Vector& x) {
                 return Vector{std::log(x[0]), x[1] - 1};
             },
             [](const Vector& x) {
                 return Vector{1 / x[0], 1};
             }),
         {-1, 0},
         {},
         SolveStop::non_finite_residuals,
         {0},
         {0},
         0,
         false},
        // sqrt(x) - 1 at x = 0: infinite derivative d row 0 / d x.
        {"non-finite derivative",
         two_by_two(
             [](const Vector& x) {
                 return Vector{std::sqrt(x[0]) - 1, x[1]};
             },
             [](const Vector& x) {
                 return Vector{0.5 / std::sqrt(x[0]), 0, 0, 1};
             }),
         {0, 0},
         {},
         SolveStop::non_finite_jacobian,
         {0},
         {0},
         0,
         false},
        // Both rows in x alone: y is determined by no equation, whatever the values.
        {"structurally singular",
         SmallSystem(
             2, {{0, 0}, {1, 0}},
             [](const Vector& x) {
                 return Vector{x[0] - 1, x[0] - 2};
             },
             [](const Vector&) {
                 return Vector{1, 1};
             }),
         {0, 0},
         {},
         SolveStop::singular_jacobian,
         {0, 1},
         {1},
         0,
         false},
        // x + y = 3 and x + y = 5 have no common point: the least-squares
        // steps reach x + y = 4 and stop there; the values still match fully,
        // so no equation or unknown is left unmatched (the diagnosis names
        // the two that contradict).
        {"numerically singular, inconsistent",
         two_by_two(
             [](const Vector& x) {
                 return Vector{x[0] + x[1] - 3, x[0] + x[1] - 5};
             },
             [](const Vector&) {
                 return Vector{1, 1, 1, 1};
             }),
         {0, 0},
         {},
         SolveStop::singular_jacobian,
         {},
         {},
         -1,
         false},
        // The residuals cannot get below 1e-30 in absolute terms: x^2 = 2e16
        // stalls at round-off of its scale.
        {"no decrease at round-off",
         two_by_two(
             [](const Vector& x) {
                 return Vector{x[0] * x[0] - 2e16, x[1] - 1};
             },
             [](const Vector& x) {
                 return Vector{2 * x[0], 0, 0, 1};
             }),
         {1e8, 0},
         unreachable_absolute,
         SolveStop::no_decrease,
         {},
         {},
         -1,
         true},
    };
    for (auto& c : cases) {
        const SolveOutcome outcome = solve(c.system, c.start, c.settings);
        EXPECT_EQ(stop_code(outcome.stop), stop_code(c.stop)) << c.label;
        EXPECT_EQ(outcome.rows, c.rows) << c.label;
        EXPECT_EQ(outcome.columns, c.columns) << c.label;
        if (c.iterations >= 0) {
            EXPECT_EQ(outcome.history.back().iteration, c.iterations) << c.label;
        }
        EXPECT_EQ(outcome.at_round_off, c.at_round_off) << c.label;
    }
}

}  // namespace

namespace {

// x^2 + y^2 = 5, x y = 2 near (2, 1), every residual multiplied by `factor`.
SmallSystem circle_and_hyperbola(double factor) {
    return two_by_two(
        [factor](const Vector& x) {
            return Vector{factor * (x[0] * x[0] + x[1] * x[1] - 5), factor * (x[0] * x[1] - 2)};
        },
        [factor](const Vector& x) {
            return Vector{factor * 2 * x[0], factor * 2 * x[1], factor * x[1], factor * x[0]};
        });
}

// Units change the numbers, not the verdict: an absolute test would call the
// 1e-8 system converged early and the 1e8 one never.
TEST(nonlinear_solver, the_verdict_does_not_depend_on_the_equations_units) {
    int unit_iterations = -1;
    for (const double factor : {1.0, 1e-8, 1e8, 1e-12, 1e12}) {
        SmallSystem system = circle_and_hyperbola(factor);
        const SolveOutcome outcome = solve(system, {3, 0.5});
        ASSERT_EQ(outcome.stop, SolveStop::converged) << factor;
        EXPECT_NEAR(outcome.x[0], 2.0, 1e-9) << factor;
        EXPECT_NEAR(outcome.x[1], 1.0, 1e-9) << factor;
        if (unit_iterations < 0) {
            unit_iterations = outcome.history.back().iteration;
        }
        EXPECT_EQ(outcome.history.back().iteration, unit_iterations) << factor;
        EXPECT_LE(outcome.largest_scaled.value, 1e-9) << factor;
    }
}

// Bratu's problem u'' + e^u = 0, u(0) = u(1) = 0, on n nodes with each
// equation multiplied by `factor` (h^2, the form many collections use: after
// one Newton step the residuals are below 1e-10 while the peak is still far
// off; or 1, the equations as the differences divided by h^2 give them).
SmallSystem bratu(int nodes, double factor) {
    const double h = 1.0 / (nodes + 1);
    std::vector<NonzeroPlace> entries;
    for (int row = 0; row < nodes; ++row) {
        for (int column = std::max(row - 1, 0); column <= std::min(row + 1, nodes - 1); ++column) {
            entries.push_back({row, column});
        }
    }
    const auto at = [](const Vector& u, int node) {
        return node < 0 || node >= static_cast<int>(u.size()) ? 0.0
                                                              : u[static_cast<std::size_t>(node)];
    };
    return SmallSystem(
        nodes, entries,
        [=](const Vector& u) {
            Vector f(u.size());
            for (int i = 0; i < nodes; ++i) {
                f[static_cast<std::size_t>(i)] =
                    factor *
                    ((at(u, i - 1) - 2 * at(u, i) + at(u, i + 1)) / (h * h) + std::exp(at(u, i)));
            }
            return f;
        },
        [=](const Vector& u) {
            Vector values;
            for (int row = 0; row < nodes; ++row) {
                for (int column = std::max(row - 1, 0); column <= std::min(row + 1, nodes - 1);
                     ++column) {
                    values.push_back(factor * (column == row ? -2 / (h * h) + std::exp(at(u, row))
                                                             : 1 / (h * h)));
                }
            }
            return values;
        });
}

// The step test keeps tiny residuals from passing far from the root, and the
// polish (the Newton step from the converged point, already computed) puts
// the point within the tolerance of the root, not a hundred times it, in
// either scaling of this badly conditioned system.
TEST(nonlinear_solver, converged_points_are_polished_within_the_tolerance_of_the_root) {
    const int nodes = 10000;
    const double h = 1.0 / (nodes + 1);
    for (const double factor : {h * h, 1.0}) {
        SmallSystem system = bratu(nodes, factor);
        SolverSettings tight;
        tight.tolerance = 1e-14;
        const SolveOutcome reference = solve(system, Vector(nodes, 0.0), tight);
        const SolveOutcome outcome = solve(system, Vector(nodes, 0.0));
        ASSERT_EQ(outcome.stop, SolveStop::converged) << factor;
        EXPECT_GT(outcome.history.back().iteration, 1) << factor;
        EXPECT_TRUE(outcome.polished) << factor;
        double peak = 0.0;
        double largest_error = 0.0;
        for (std::size_t node = 0; node < outcome.x.size(); ++node) {
            peak = std::max(peak, reference.x[node]);
            largest_error = std::max(largest_error, std::fabs(outcome.x[node] - reference.x[node]));
        }
        EXPECT_NEAR(peak, 0.1405, 1e-4) << factor;
        EXPECT_LE(largest_error, 1e-9) << factor;
    }
}

// x^2 - c = 0 and y - 1 = 0, x kept in [lower, upper].
SmallSystem square_root_of(double c) {
    return two_by_two(
        [c](const Vector& x) {
            return Vector{x[0] * x[0] - c, x[1] - 1};
        },
        [](const Vector& x) {
            return Vector{2 * x[0], 0, 0, 1};
        });
}

TEST(nonlinear_solver, bounds_are_kept_and_the_unknowns_ending_on_them_named) {
    const struct {
        const char* label;
        double c;
        double start;
        double lower;
        double upper;
        SolveStop stop;
        double x;
        std::vector<int> upper_contacts;  // per contact: 1 upper, 0 lower
    } cases[] = {
        {"the root beyond the upper bound", 4, 0.5, 0, 1, SolveStop::no_decrease, 1, {1}},
        {"Newton's first step overshoots the bound", 4, 0.1, 0, 10, SolveStop::converged, 2, {}},
        {"the root on the upper bound, reached by projection",
         4,
         1,
         0,
         2,
         SolveStop::converged,
         2,
         {1}},
        {"the root below the lower bound", 4, 3, 2.5, 5, SolveStop::no_decrease, 2.5, {0}},
        {"a start outside the bounds is projected", 4, -7, 1, 3, SolveStop::converged, 2, {}},
    };
    for (const auto& c : cases) {
        SmallSystem system = square_root_of(c.c);
        const SolveOutcome outcome =
            solve(system, {c.start, 0}, {}, {c.lower, -INF}, {c.upper, INF});
        EXPECT_EQ(stop_code(outcome.stop), stop_code(c.stop)) << c.label;
        EXPECT_NEAR(outcome.x[0], c.x, 1e-8) << c.label;
        std::vector<int> contacts;
        for (const BoundContact& contact : outcome.at_bounds) {
            EXPECT_EQ(contact.column, 0) << c.label;
            contacts.push_back(contact.upper ? 1 : 0);
        }
        EXPECT_EQ(contacts, c.upper_contacts) << c.label;
    }
}

}  // namespace

namespace {

// x + y = 3 and x + y = 5 contradict each other; z - 1 = 0 is innocent.
TEST(nonlinear_solver, dependent_equations_that_contradict_each_other_are_named) {
    SmallSystem system(
        3, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 2}},
        [](const Vector& x) {
            return Vector{x[0] + x[1] - 3, x[0] + x[1] - 5, x[2] - 1};
        },
        [](const Vector&) {
            return Vector{1, 1, 1, 1, 1};
        });
    const SolveOutcome outcome = solve(system, {0, 0, 0});
    EXPECT_EQ(outcome.stop, SolveStop::singular_jacobian);
    EXPECT_FALSE(outcome.structurally_singular);
    EXPECT_EQ(outcome.diagnosis.dependent_rows, (std::vector<int>{0, 1}));
    EXPECT_TRUE(outcome.diagnosis.contradicting);
    EXPECT_EQ(outcome.diagnosis.cause, StopCause::contradicting);
    // The least-squares steps end near the best compromise.
    EXPECT_NEAR(outcome.x[0] + outcome.x[1], 4.0, 1e-3);
    EXPECT_NEAR(outcome.x[2], 1.0, 1e-3);
}

}  // namespace

namespace {

// The timing's parts lie within the whole, and the last iteration is there
// exactly when an iteration was made.
TEST(nonlinear_solver, the_timing_splits_the_solve_and_gives_the_last_iteration) {
    struct Case {
        const char* label;
        SmallSystem system;
        Vector start;
    } cases[] = {
        {"start already at the root", linear_pair(), {2, 1}},
        {"one Newton step", linear_pair(), {0, 0}},
        {"many steps into a local minimum", freudenstein_roth(), {0.5, -2}},
    };
    for (Case& c : cases) {
        const SolveOutcome outcome = solve(c.system, c.start);
        const SolveTiming& timing = outcome.timing;
        const bool iterated = outcome.history.size() > 1;
        EXPECT_EQ(timing.last_iteration > 0.0, iterated) << c.label;
        EXPECT_GE(timing.last_iteration, 0.0) << c.label;
        EXPECT_LE(timing.last_iteration, timing.total) << c.label;
        EXPECT_LE(timing.evaluation + timing.lu, timing.total) << c.label;
    }
}

}  // namespace

namespace {

// ln(x) = ln(2), y = 1, where the system refuses x <= 0 with `status` (in
// place of a NaN) or, with `from`, refuses x >= `from` everywhere, the start
// included. From x = 10, Newton's first step lands at x = -6.1.
SmallSystem logarithm_refusing(EvaluationStatus status, double from = INF) {
    const auto refuse = [status, from](const Vector& x) {
        if (x[0] <= 0 || x[0] >= from) {
            throw EvaluationFault(status, "no logarithm of " + std::to_string(x[0]));
        }
    };
    return two_by_two(
        [refuse](const Vector& x) {
            refuse(x);
            return Vector{std::log(x[0]) - std::log(2.0), x[1] - 1};
        },
        [](const Vector& x) {
            return Vector{1 / x[0], 0, 0, 1};
        });
}

// A fault at a trial point is a rejected trial when the system can recover,
// and ends the solve at the point reached when it cannot; either way the
// outcome keeps the system's words and the counts of what was done.
TEST(nonlinear_solver, faults_of_the_system_reject_trials_or_stop_keeping_the_point) {
    struct Case {
        const char* label;
        SmallSystem system;
        SolveStop stop;
        double x;      // x[0] at the end
        bool faulted;  // some trial point could not be evaluated
        int iterations;
    } cases[] = {
        {"recoverable at a trial point: the region shrinks",
         logarithm_refusing(EvaluationStatus::recoverable), SolveStop::converged, 2, true, -1},
        {"fatal at a trial point: the point reached is kept",
         logarithm_refusing(EvaluationStatus::fatal), SolveStop::evaluation_fault, 10, true, 0},
        {"fatal at the start", logarithm_refusing(EvaluationStatus::fatal, 5),
         SolveStop::evaluation_fault, 10, false, 0},
        {"recoverable at the start is no less final",
         logarithm_refusing(EvaluationStatus::recoverable, 5), SolveStop::evaluation_fault, 10,
         false, 0},
    };
    for (Case& c : cases) {
        const SolveOutcome outcome = solve(c.system, {10, 0});
        EXPECT_EQ(stop_code(outcome.stop), stop_code(c.stop)) << c.label;
        EXPECT_NEAR(outcome.x[0], c.x, 1e-9) << c.label;
        EXPECT_EQ(outcome.counts.faulted_trials > 0, c.faulted) << c.label;
        EXPECT_EQ(outcome.fault.empty(), !c.faulted && c.stop == SolveStop::converged) << c.label;
        if (c.iterations >= 0) {
            EXPECT_EQ(outcome.history.back().iteration, c.iterations) << c.label;
        }
        EXPECT_LE(outcome.counts.faulted_trials, outcome.counts.residual_evaluations) << c.label;
    }
}

// The counts: a Newton step that lands on the root costs one residual and
// one Jacobian evaluation beyond the start's, the polish one residual
// evaluation more, and no trial is rejected.
TEST(nonlinear_solver, the_outcome_counts_evaluations_and_rejected_trials) {
    SmallSystem linear = linear_pair();
    const SolveOutcome direct = solve(linear, {0, 0});
    EXPECT_EQ(direct.counts.residual_evaluations, 3);
    EXPECT_EQ(direct.counts.jacobian_evaluations, 2);
    EXPECT_EQ(direct.counts.rejected_trials, 0);
    SmallSystem refusing = logarithm_refusing(EvaluationStatus::recoverable);
    const SolveOutcome shrunk = solve(refusing, {10, 0});
    EXPECT_GE(shrunk.counts.rejected_trials, shrunk.counts.faulted_trials);
    EXPECT_GE(shrunk.counts.faulted_trials, 1);
}

}  // namespace
