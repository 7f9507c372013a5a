#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nonlinear_solver.h"
#include "small_system.h"

// The verdicts on ill-posed systems: a continuum of solutions told from an
// isolated singular root, the cause a failed solve names, the polish of a
// converged point, the Levenberg-Marquardt fallback, a fast stop at a
// stationary point on the bounds.
namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

// A system given by its residual function and the dense Jacobian's rows.
SmallSystem dense(int size, SmallSystem::Residuals residuals,
                  SmallSystem::Derivatives derivatives) {
    return SmallSystem(size, dense_entries(size), std::move(residuals), std::move(derivatives));
}

// Three nodes joined by two conductors, fed at node 1 and drawn at 2 and 3
// by as much as is fed: the currents follow, the potentials float together,
// and the three balances add up to nothing. Unknowns p1, p2, p3, i1, i2.
SmallSystem floating_potentials() {
    return dense(
        5,
        [](const Vector& x) {
            return Vector{x[0] - x[1] - 2 * x[3], x[1] - x[2] - 3 * x[4], 1.0 - x[3],
                          x[3] - x[4] - 0.4, x[4] - 0.6};
        },
        [](const Vector&) {
            return Vector{1, -1, 0,  -2, 0,   //
                          0, 1,  -1, 0,  -3,  //
                          0, 0,  0,  -1, 0,   //
                          0, 0,  0,  1,  -1,  //
                          0, 0,  0,  0,  1};
        });
}

// Powell's singular function: its root at 0 has a Jacobian of rank 2, and
// the squares grow along both null directions.
SmallSystem powell_singular() {
    const double r5 = std::sqrt(5.0);
    const double r10 = std::sqrt(10.0);
    return dense(
        4,
        [=](const Vector& x) {
            return Vector{x[0] + 10 * x[1], r5 * (x[2] - x[3]),
                          (x[1] - 2 * x[2]) * (x[1] - 2 * x[2]),
                          r10 * (x[0] - x[3]) * (x[0] - x[3])};
        },
        [=](const Vector& x) {
            const double a = 2 * (x[1] - 2 * x[2]);
            const double b = 2 * r10 * (x[0] - x[3]);
            return Vector{1, 10, 0, 0, 0, 0, r5, -r5, 0, a, -2 * a, 0, b, 0, 0, -b};
        });
}

struct UniquenessCase {
    const char* label;
    SmallSystem system;
    Vector start;
    SolveStop stop;
    bool singular;               // for converged: singular at the solution
    std::vector<int> moving;     // for not_unique
    std::vector<int> dependent;  // for not_unique
};

// No success without a unique solution: where the equations stay met along
// a null direction the solve stops not-unique, naming what moves and what
// depends; where they grow along it (a singular root) it converges.
TEST(verdict, a_continuum_of_solutions_is_told_from_an_isolated_singular_root) {
    UniquenessCase cases[] = {
        {"x + y = 3 twice",
         SmallSystem(
             3, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 2}},
             [](const Vector& x) {
                 return Vector{x[0] + x[1] - 3, x[0] + x[1] - 3, x[2] - 1};
             },
             [](const Vector&) {
                 return Vector{1, 1, 1, 1, 1};
             }),
         {0, 0, 0},
         SolveStop::not_unique,
         false,
         {0, 1},
         {0, 1}},
        {"floating potentials",
         floating_potentials(),
         {5, 4, 3, 0, 0},
         SolveStop::not_unique,
         false,
         {0, 1, 2},
         {2, 3, 4}},
        // x^2 + y^2 = 1 said twice, once doubled: a curved continuum.
        {"a circle twice",
         two_by_two(
             [](const Vector& x) {
                 return Vector{x[0] * x[0] + x[1] * x[1] - 1,
                               2 * x[0] * x[0] + 2 * x[1] * x[1] - 2};
             },
             [](const Vector& x) {
                 return Vector{2 * x[0], 2 * x[1], 4 * x[0], 4 * x[1]};
             }),
         {1, 1},
         SolveStop::not_unique,
         false,
         {0, 1},
         {0, 1}},
        {"Powell's singular function",
         powell_singular(),
         {3, -1, 0, 1},
         SolveStop::converged,
         true,
         {},
         {}},
        // (x - 1)^2 = 0: a double root.
        {"a double root",
         two_by_two(
             [](const Vector& x) {
                 return Vector{(x[0] - 1) * (x[0] - 1), x[1] - 2};
             },
             [](const Vector& x) {
                 return Vector{2 * (x[0] - 1), 0, 0, 1};
             }),
         {3, 0},
         SolveStop::converged,
         true,
         {},
         {}},
        {"a circle and a line: regular",
         two_by_two(
             [](const Vector& x) {
                 return Vector{x[0] * x[0] + x[1] * x[1] - 1, x[0] - x[1]};
             },
             [](const Vector& x) {
                 return Vector{2 * x[0], 2 * x[1], 1, -1};
             }),
         {1, 0.5},
         SolveStop::converged,
         false,
         {},
         {}},
    };
    for (UniquenessCase& c : cases) {
        const SolveOutcome outcome = solve(c.system, c.start);
        ASSERT_EQ(stop_code(outcome.stop), stop_code(c.stop)) << c.label;
        EXPECT_LE(outcome.largest_scaled.value, 1e-9) << c.label;
        EXPECT_EQ(outcome.singular_at_solution, c.singular) << c.label;
        EXPECT_EQ(outcome.continuum.moving_columns, c.moving) << c.label;
        EXPECT_EQ(outcome.continuum.dependent_rows, c.dependent) << c.label;
        if (c.stop == SolveStop::not_unique) {
            // Another point of the continuum, well away, meets the equations too.
            Vector other;
            c.system.residuals(outcome.continuum.other_solution, other);
            for (const double residual : other) {
                EXPECT_LE(std::fabs(residual), 1e-8) << c.label;
            }
            EXPECT_GT(std::fabs(outcome.continuum.other_solution[0] - outcome.x[0]), 1e-3)
                << c.label;
        }
    }
}

}  // namespace

namespace {

// A recycle loop with no exit for what it carries: the loop's three balances
// add up to 0 = 0.2, whatever the flows; a fourth unknown is regular.
SmallSystem loop_without_exit() {
    return SmallSystem(
        4, {{0, 0}, {0, 2}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {3, 3}},
        [](const Vector& x) {
            return Vector{x[0] - x[2] - 0.2, x[1] - x[0], x[2] - x[1], x[3] - 1};
        },
        [](const Vector&) { return Vector{1, -1, -1, 1, -1, 1, 1}; });
}

// e^-x = 0, y = 1: the root lies at infinity, and Newton's steps double x.
SmallSystem root_at_infinity() {
    return two_by_two(
        [](const Vector& x) {
            return Vector{std::exp(-x[0]), x[1] - 1};
        },
        [](const Vector& x) {
            return Vector{-std::exp(-x[0]), 0, 0, 1};
        });
}

// x^2 - 4 = 0 and y - 1 = 0.
SmallSystem square_of_two() {
    return two_by_two(
        [](const Vector& x) {
            return Vector{x[0] * x[0] - 4, x[1] - 1};
        },
        [](const Vector& x) {
            return Vector{2 * x[0], 0, 0, 1};
        });
}

// e^x = 1 from x = 30: each Newton step takes about 1 off x.
SmallSystem slow_exponential() {
    return two_by_two(
        [](const Vector& x) {
            return Vector{std::exp(x[0]) - 1, x[1] - 1};
        },
        [](const Vector& x) {
            return Vector{std::exp(x[0]), 0, 0, 1};
        });
}

struct CauseCase {
    const char* label;
    SmallSystem system;
    Vector start;
    SolverSettings settings;
    Vector upper;  // empty: no upper bounds
    StopCause cause;
    std::vector<int> named;  // the unknowns or equations that show the cause
};

// What the cause names.
std::vector<int> named_by(const StopDiagnosis& found) {
    switch (found.cause) {
        case StopCause::diverging:
            return found.growing_columns;
        case StopCause::bounds:
            return found.held_columns;
        case StopCause::contradicting:
        case StopCause::dependent:
        case StopCause::local_minimum:
            return found.dependent_rows;
        default:
            return {};
    }
}

// A failed solve names its cause from where it stopped, and "raise the
// iteration limit" only where the iterates were still making progress.
TEST(verdict, a_failed_solve_names_its_cause) {
    SolverSettings ten;
    ten.max_iterations = 10;
    SolverSettings none;
    none.max_iterations = 0;
    CauseCase cases[] = {
        {"a loop with no exit",
         loop_without_exit(),
         {1, 1, 1, 1},
         {},
         {},
         StopCause::contradicting,
         {0, 1, 2}},
        {"a root at infinity", root_at_infinity(), {0, 0}, {}, {}, StopCause::diverging, {0}},
        {"the root beyond a bound",
         square_of_two(),
         {0.5, 0},
         {},
         {1, INF},
         StopCause::bounds,
         {0}},
        {"a local minimum", freudenstein_roth(), {0.5, -2}, {}, {}, StopCause::local_minimum, {}},
        {"still closing in at the limit",
         slow_exponential(),
         {30, 0},
         ten,
         {},
         StopCause::progressing,
         {}},
        {"no iterations to judge by",
         square_of_two(),
         {3, 0},
         none,
         {},
         StopCause::few_iterations,
         {}},
    };
    for (CauseCase& c : cases) {
        const SolveOutcome outcome = solve(c.system, c.start, c.settings, {}, c.upper);
        EXPECT_NE(outcome.stop, SolveStop::converged) << c.label;
        EXPECT_EQ(cause_code(outcome.diagnosis.cause), cause_code(c.cause)) << c.label;
        EXPECT_EQ(named_by(outcome.diagnosis), c.named) << c.label;
    }
}

}  // namespace

namespace {

// A dependence that a vanishing derivative hides at the start: x w = 1
// from w = 0, where its derivatives are 0 until w = 2 takes w away from 0,
// beside y + z = 2 said twice. The start's singularity is no verdict: the
// solve moves on and finds the continuum of y and z.
TEST(verdict, a_vanishing_derivative_at_the_start_does_not_hide_a_redundant_equation) {
    SmallSystem system(
        4, {{0, 0}, {0, 1}, {1, 1}, {2, 2}, {2, 3}, {3, 2}, {3, 3}},
        [](const Vector& x) {
            return Vector{x[0] * x[1] - 1, x[1] - 2, x[2] + x[3] - 2, 2 * x[2] + 2 * x[3] - 4};
        },
        [](const Vector& x) { return Vector{x[1], x[0], 1, 1, 1, 2, 2}; });
    const SolveOutcome outcome = solve(system, {0, 0, 0, 0});
    ASSERT_EQ(stop_code(outcome.stop), stop_code(SolveStop::not_unique));
    EXPECT_EQ(outcome.continuum.moving_columns, (std::vector<int>{2, 3}));
    EXPECT_EQ(outcome.continuum.dependent_rows, (std::vector<int>{2, 3}));
    EXPECT_NEAR(outcome.x[0], 0.5, 1e-9);
}

}  // namespace

namespace {

// Methane burnt with its stoichiometric air at 2500 K by element potentials:
// n_i = N exp(-g_i + sum_e a_ie pi_e) for ten species of C, H, O and N, the
// four element balances and the total. Unknowns: pi_C, pi_H, pi_O, pi_N, N,
// then the ten amounts.
struct Species {
    double g;      // Gibbs energy of formation over RT
    int atoms[4];  // C, H, O, N
};
const Species SPECIES[] = {
    {-396200 / 20786.16, {1, 0, 2, 0}},  // CO2
    {-327400 / 20786.16, {1, 0, 1, 0}},  // CO
    {-98900 / 20786.16, {0, 2, 1, 0}},   // H2O
    {0, {0, 2, 0, 0}},                   // H2
    {0, {0, 0, 2, 0}},                   // O2
    {0, {0, 0, 0, 2}},                   // N2
    {1000 / 20786.16, {0, 1, 1, 0}},     // OH
    {93000 / 20786.16, {0, 1, 0, 0}},    // H
    {110000 / 20786.16, {0, 0, 1, 0}},   // O
    {63000 / 20786.16, {0, 0, 1, 1}},    // NO
};
constexpr int SPECIES_COUNT = 10;
constexpr double ELEMENTS_FED[] = {1, 4, 4, 15.04};

SmallSystem element_potentials() {
    constexpr int size = 5 + SPECIES_COUNT;
    std::vector<NonzeroPlace> entries;
    for (int i = 0; i < SPECIES_COUNT; ++i) {
        entries.push_back({i, 5 + i});
        entries.push_back({i, 4});
        for (int e = 0; e < 4; ++e) {
            entries.push_back({i, e});  // 0 where the species has none of e
        }
    }
    for (int e = 0; e < 4; ++e) {
        for (int i = 0; i < SPECIES_COUNT; ++i) {
            entries.push_back({SPECIES_COUNT + e, 5 + i});
        }
    }
    entries.push_back({size - 1, 4});
    for (int i = 0; i < SPECIES_COUNT; ++i) {
        entries.push_back({size - 1, 5 + i});
    }
    const auto present = [](const Vector& x, int i) {
        double exponent = -SPECIES[i].g;
        for (int e = 0; e < 4; ++e) {
            exponent += SPECIES[i].atoms[e] * x[static_cast<std::size_t>(e)];
        }
        return std::exp(exponent);
    };
    return SmallSystem(
        size, entries,
        [present](const Vector& x) {
            Vector f(size, 0.0);
            double total = x[4];
            for (int i = 0; i < SPECIES_COUNT; ++i) {
                const double n = x[static_cast<std::size_t>(5 + i)];
                f[static_cast<std::size_t>(i)] = n - x[4] * present(x, i);
                for (int e = 0; e < 4; ++e) {
                    f[static_cast<std::size_t>(SPECIES_COUNT + e)] += SPECIES[i].atoms[e] * n;
                }
                total -= n;
            }
            for (int e = 0; e < 4; ++e) {
                f[static_cast<std::size_t>(SPECIES_COUNT + e)] -= ELEMENTS_FED[e];
            }
            f[size - 1] = total;
            return f;
        },
        [present](const Vector& x) {
            Vector values;
            for (int i = 0; i < SPECIES_COUNT; ++i) {
                values.push_back(1);
                values.push_back(-present(x, i));
                for (int e = 0; e < 4; ++e) {
                    values.push_back(-SPECIES[i].atoms[e] * x[4] * present(x, i));
                }
            }
            for (int e = 0; e < 4; ++e) {
                for (int i = 0; i < SPECIES_COUNT; ++i) {
                    values.push_back(SPECIES[i].atoms[e]);
                }
            }
            values.push_back(1);
            for (int i = 0; i < SPECIES_COUNT; ++i) {
                values.push_back(-1);
            }
            return values;
        });
}

// From an engineer's start the dogleg creeps, its gradient steps lowering
// the merit by a few per cent each; Levenberg-Marquardt, started where it
// gave up, reaches the equilibrium (as SciPy's lm does from the same start).
TEST(verdict, levenberg_marquardt_takes_over_where_the_dogleg_creeps) {
    SmallSystem system = element_potentials();
    const Vector start{0, 0, -5, 0, 10, 1, 0.1, 2, 0.1, 0.1, 7.5, 0.01, 0.01, 0.01, 0.01};
    Vector lower(start.size(), 0.0);
    std::fill(lower.begin(), lower.begin() + 4, -INF);
    const SolveOutcome outcome = solve(system, start, {}, lower);
    ASSERT_EQ(outcome.stop, SolveStop::converged);
    EXPECT_GE(outcome.fallback_iteration, 1);
    for (int e = 0; e < 4; ++e) {
        double fed = 0.0;
        for (int i = 0; i < SPECIES_COUNT; ++i) {
            fed += SPECIES[i].atoms[e] * outcome.x[static_cast<std::size_t>(5 + i)];
        }
        EXPECT_NEAR(fed, ELEMENTS_FED[e], 1e-9) << e;
    }
}

// An isothermal flash with K-values all above 1 has no two-phase solution:
// the vapour fraction psi in [0, 1] would have to exceed 1. The solve stops
// within 30 iterations, psi held at its upper bound; P, bounded to itself,
// never moves. Unknowns psi, x1..x3, y1..y3, and P, which sets the K-values.
TEST(verdict, a_flash_outside_its_two_phase_range_stops_at_the_bound_soon) {
    const double z[] = {0.3, 0.4, 0.3};
    const double k[] = {3.0, 1.8, 1.2};  // at P = 1
    std::vector<NonzeroPlace> entries;
    for (int c = 0; c < 3; ++c) {
        entries.push_back({0, 0});  // Rachford-Rice in psi and P
        entries.push_back({0, 7});
        entries.push_back({1 + c, 1 + c});  // x_c (1 + psi (K_c - 1)) = z_c
        entries.push_back({1 + c, 0});
        entries.push_back({1 + c, 7});
        entries.push_back({4 + c, 4 + c});  // y_c = K_c x_c
        entries.push_back({4 + c, 1 + c});
        entries.push_back({4 + c, 7});
    }
    entries.push_back({7, 1});  // the sum of x is 1
    entries.push_back({7, 2});
    entries.push_back({7, 3});
    SmallSystem system(
        8, entries,
        [=](const Vector& v) {
            Vector f(8, 0.0);
            for (int c = 0; c < 3; ++c) {
                const double kc = k[c] / v[7];
                f[0] += z[c] * (kc - 1) / (1 + v[0] * (kc - 1));
                f[static_cast<std::size_t>(1 + c)] =
                    v[static_cast<std::size_t>(1 + c)] * (1 + v[0] * (kc - 1)) - z[c];
                f[static_cast<std::size_t>(4 + c)] =
                    v[static_cast<std::size_t>(4 + c)] - kc * v[static_cast<std::size_t>(1 + c)];
            }
            f[7] = v[1] + v[2] + v[3] - 1;
            return f;
        },
        [=](const Vector& v) {
            Vector values;
            for (int c = 0; c < 3; ++c) {
                const double kc = k[c] / v[7];
                const double dk = -k[c] / (v[7] * v[7]);
                const double d = 1 + v[0] * (kc - 1);
                const double xc = v[static_cast<std::size_t>(1 + c)];
                values.push_back(-z[c] * (kc - 1) * (kc - 1) / (d * d));
                values.push_back(z[c] * dk / (d * d));
                values.push_back(d);
                values.push_back(xc * (kc - 1));
                values.push_back(xc * v[0] * dk);
                values.push_back(1);
                values.push_back(-kc);
                values.push_back(-dk * xc);
            }
            values.push_back(1);
            values.push_back(1);
            values.push_back(1);
            return values;
        });
    const Vector start{0.5, 0.3, 0.4, 0.3, 0.3, 0.4, 0.3, 1.0};
    const SolveOutcome outcome =
        solve(system, start, {}, {0, 0, 0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_NE(outcome.stop, SolveStop::converged);
    EXPECT_EQ(cause_code(outcome.diagnosis.cause), cause_code(StopCause::bounds));
    EXPECT_EQ(outcome.diagnosis.held_columns, std::vector<int>{0});
    EXPECT_EQ(outcome.x[0], 1.0);
    EXPECT_EQ(outcome.x[7], 1.0);
    EXPECT_LE(outcome.history.back().iteration, 30);
}

}  // namespace
