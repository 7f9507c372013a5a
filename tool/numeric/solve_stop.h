#pragma once

#include <string>

// Why the nonlinear solver stopped. Every reason but `converged` is a failure.
enum class SolveStop {
    converged,
    iteration_limit,
    no_decrease,
    singular_jacobian,
    non_finite_residuals,
    non_finite_jacobian,
    evaluation_fault,
    not_unique,
};

// The reason's code as the tool writes it: "converged", "iteration-limit",
// "no-decrease", "singular-jacobian", "non-finite-residuals",
// "non-finite-derivatives", "evaluation-fault", "not-unique".
std::string stop_code(SolveStop stop);

// How a step was made: the full Newton step; a dogleg between it and the
// steepest-descent step; steepest descent alone (the trust region is smaller
// than the gradient step); a Levenberg-Marquardt step where the LU could not
// give a Newton step; the point linearly converging Newton steps head for
// (a multiple of the Newton step); none at the start.
enum class StepKind { none, newton, dogleg, gradient, levenberg_marquardt, extrapolated };

// "-", "newton", "dogleg", "gradient", "lm", "extrap".
std::string step_code(StepKind kind);
