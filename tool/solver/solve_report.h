#pragma once

#include <string>

#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "system_choice.h"

// How the caller's options read where a stop's words say what to do: the
// command line's by default.
struct StopWording {
    std::string at = "--at";  // start from other values
    std::string max_iterations = "--max-iter";
    std::string tolerance = "--tol";
    std::string absolute_tolerance = "--abs-tol";
    std::string fix = "--fix";
    // A check of the model at the point the solve ended.
    std::string check_result = "quillon check --start on this result";
};

// Why a solve stopped, in words that name the equations and variables
// concerned and say what to do. `choice` maps the solver's rows and columns
// to host numbers.
std::string describe_stop(const SolveOutcome& outcome, const LoadedModel& loaded,
                          const SystemChoice& choice, const StopWording& wording = {});

// The unknowns that end on a bound, e.g. "P (upper), x (lower)".
std::string bound_contacts(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const SystemChoice& choice);

// The name (as the file writes it) of the equation of solver row `row`;
// empty for -1.
std::string equation_of_row(const LoadedModel& loaded, const SystemChoice& choice, int row);
