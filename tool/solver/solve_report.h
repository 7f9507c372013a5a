#pragma once

#include <string>

#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "system_choice.h"

// Why a solve stopped, in words that name the equations and variables
// concerned and say what to do. `choice` maps the solver's rows and columns
// to host numbers.
std::string describe_stop(const SolveOutcome& outcome, const LoadedModel& loaded,
                          const SystemChoice& choice);

// The unknowns that end on a bound, e.g. "P (upper), x (lower)".
std::string bound_contacts(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const SystemChoice& choice);

// The name (as the file writes it) of the equation of solver row `row`;
// empty for -1.
std::string equation_of_row(const LoadedModel& loaded, const SystemChoice& choice, int row);
