#pragma once

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "boxed_unknowns.h"
#include "solve_stop.h"
#include "square_system.h"
#include "stop_diagnosis.h"

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

// Solutions that form a continuum: the unknowns along which the equations
// stay met, the equations whose rows combine to nothing there (both in
// order), and another point that meets the convergence test.
struct Continuum {
    std::vector<int> moving_columns;
    std::vector<int> dependent_rows;
    std::vector<double> other_solution;
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
    // For iteration_limit, no_decrease, singular_jacobian and
    // evaluation_fault: why, as found where the solve stopped.
    StopDiagnosis diagnosis;
    // For converged: the Jacobian is numerically singular at x (see
    // singularity.h) but the equations grow along its null direction, as at
    // an isolated singular root; `columns` then holds the unknowns that move
    // along that direction, in order.
    bool singular_at_solution = false;
    // For converged and not_unique: the singularity policy's condition
    // estimate at x.
    double condition = std::numeric_limits<double>::quiet_NaN();
    // For not_unique: the continuum of solutions through x.
    Continuum continuum;
    // For converged and not_unique: x is the converged point moved by the
    // Newton step computed there, confirmed by one residual evaluation.
    bool polished = false;
    // The iteration after which Levenberg-Marquardt's steps took over from
    // the trust region's, which had stalled or crept (-1: they never did).
    int fallback_iteration = -1;
    // Levenberg-Marquardt stopped at a stationary point of the merit: a
    // minimum of the scaled sum of squares over the unknowns not held at
    // their bounds.
    bool stationary = false;
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
