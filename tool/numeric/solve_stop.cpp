#include "solve_stop.h"

std::string stop_code(SolveStop stop) {
    switch (stop) {
        case SolveStop::converged:
            return "converged";
        case SolveStop::iteration_limit:
            return "iteration-limit";
        case SolveStop::no_decrease:
            return "no-decrease";
        case SolveStop::singular_jacobian:
            return "singular-jacobian";
        case SolveStop::non_finite_residuals:
            return "non-finite-residuals";
        case SolveStop::non_finite_jacobian:
            return "non-finite-derivatives";
        case SolveStop::evaluation_fault:
            return "evaluation-fault";
        case SolveStop::not_unique:
            return "not-unique";
    }
    return "";
}

std::string step_code(StepKind kind) {
    switch (kind) {
        case StepKind::none:
            return "-";
        case StepKind::newton:
            return "newton";
        case StepKind::dogleg:
            return "dogleg";
        case StepKind::gradient:
            return "gradient";
        case StepKind::levenberg_marquardt:
            return "lm";
        case StepKind::extrapolated:
            return "extrap";
    }
    return "";
}
