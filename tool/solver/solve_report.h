#pragma once

#include <string>

#include "loaded_model.h"
#include "nonlinear_solver.h"

// Why a solve stopped, in words that name the equations and variables
// concerned and say what to do. `unknowns` maps the solver's columns to host
// variable numbers.
std::string describe_stop(const SolveOutcome& outcome, const LoadedModel& loaded,
                          const std::vector<int>& unknowns);

// The unknowns that end on a bound, e.g. "P (upper), x (lower)".
std::string bound_contacts(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const std::vector<int>& unknowns);
