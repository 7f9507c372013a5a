#pragma once

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "boxed_unknowns.h"
#include "solve_stop.h"
#include "square_system.h"

// What counts as solved, and how long to try.
//
// A point is converged when every equation's residual is at most `tolerance`
// times the equation's scale there (the largest |dF_i/dx_j| * m_j over its
// unknowns, m_j = max(|x_j|, 1) the unknown's magnitude), when the largest
// absolute residual is at most `absolute_tolerance`, and when the Newton step
// from the point changes no unknown by more than
// STEP_TOLERANCE_FACTOR * `tolerance` * m_j (skipped when every scaled
// residual is already at round-off, where no floating-point point does
// better). The step test is what keeps an equation
// multiplied by a tiny factor (h^2 in a discretised boundary-value problem)
// from passing the residual tests far from its solution.
constexpr double STEP_TOLERANCE_FACTOR = 100.0;

struct SolverSettings {
    double tolerance = 1e-9;
    double absolute_tolerance = std::numeric_limits<double>::infinity();
    int max_iterations = 100;
};

// The state after one iteration (iteration 0: the start).
struct IterationRecord {
    int iteration = 0;
    double residual_norm = 0.0;         // largest absolute residual
    double scaled_residual_norm = 0.0;  // largest residual over its equation's scale
    double step_norm = 0.0;             // largest change of an unknown in the step
    double trust_radius = 0.0;          // the trust region's radius the step was made in
    StepKind step_kind = StepKind::none;
    int worst_row = -1;         // row of the largest absolute residual
    int worst_scaled_row = -1;  // row of the largest scaled residual
    int at_bounds = 0;          // unknowns sitting on a bound
};

// A residual measure and the row that attains it (-1 for a system without rows).
struct ResidualMeasure {
    double value = 0.0;
    int row = -1;
};

// Wall-clock seconds spent in the system's evaluations (residuals and
// Jacobian), in the sparse LU (factor and solves, Newton's and
// Levenberg-Marquardt's), and in all of the solve; and the last iteration's,
// from the record before it to its own (0 when the start was all), which
// shows what an iteration costs once the first one's set-up is behind.
// The observer's time is in none of them.
struct SolveTiming {
    double evaluation = 0.0;
    double lu = 0.0;
    double total = 0.0;
    double last_iteration = 0.0;
};

// The work a solve did: evaluations of the residuals and of the Jacobian,
// trial points not taken (their merit did not fall enough, or their
// residuals could not be used), and of those the ones where the system
// could not evaluate at all.
struct SolveCounts {
    int residual_evaluations = 0;
    int jacobian_evaluations = 0;
    int rejected_trials = 0;
    int faulted_trials = 0;
};

struct SolveOutcome {
    SolveStop stop = SolveStop::iteration_limit;
    std::vector<double> x;
    std::vector<IterationRecord> history;
    // At x: the residuals, the largest absolute and the largest scaled one.
    std::vector<double> residuals;
    ResidualMeasure largest_absolute;
    ResidualMeasure largest_scaled;
    // The Newton step's largest change at x relative to the unknown's
    // magnitude, and its column (-1 when no step was computed there).
    double relative_step = 0.0;
    int relative_step_column = -1;
    // For no_decrease: every scaled residual is already within round-off of
    // its equation's scale.
    bool at_round_off = false;
    // What the stop concerns: the rows with a non-finite residual and the
    // unknowns those rows involve; the (row, column) pairs with a non-finite
    // derivative; for a singular Jacobian the rows and columns that cannot be
    // matched to each other, or else the column KLU found without a pivot.
    std::vector<int> rows;
    std::vector<int> columns;
    // For a singular Jacobian: its pattern has no full matching, whatever the
    // values (else the values at x are at fault).
    bool structurally_singular = false;
    // For a singular Jacobian whose values still match fully: the rows whose
    // residuals the least-squares steps left standing (at least a hundredth
    // of the largest scaled one), the dependent equations that cannot all hold.
    std::vector<int> conflicting_rows;
    // For converged: the LU at x was singular or too badly conditioned to
    // solve with, so the point need not be the only solution near it (the
    // equations may be dependent there); `columns` then holds KLU's column
    // without a usable pivot, if it found one.
    bool singular_at_solution = false;
    // The unknowns that end on a bound, in column order.
    std::vector<BoundContact> at_bounds;
    // The system's words for the last evaluation that was not ok (for
    // evaluation_fault, the one that stopped the solve).
    std::string fault;
    SolveCounts counts;
    SolveTiming timing;
};

// Powell's hybrid method on a trust region: each iteration takes the sparse
// LU's Newton step when it lies inside the region, else a dogleg between it
// and the steepest-descent step of the scaled sum of squares; where the LU is
// singular or too badly conditioned, a Levenberg-Marquardt step takes the
// Newton step's place. Every trial point is projected into [lower, upper]
// (infinite bounds leave an unknown free), and so is the start. A trial point
// the system cannot evaluate (recoverable) is rejected; an evaluation that is
// fatal, or that fails at the start or at a point taken, stops the solve with
// evaluation_fault and what it reached. `observer` sees each record as soon
// as it is made.
SolveOutcome solve_system(SquareSystem& system, std::vector<double> start,
                          const std::vector<double>& lower, const std::vector<double>& upper,
                          const SolverSettings& settings,
                          const std::function<void(const IterationRecord&)>& observer);
