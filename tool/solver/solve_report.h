#pragma once

#include <string>

#include "loaded_model.h"
#include "newton_solver.h"

// Why a solve stopped, in words that name the equations and variables
// concerned. `unknowns` maps the solver's columns to host variable numbers.
std::string describe_stop(const NewtonOutcome& outcome, const LoadedModel& loaded,
                          const std::vector<int>& unknowns);

// A short code for the reason: "converged", "iteration-limit",
// "non-finite-residuals", "non-finite-derivatives", "singular-jacobian",
// "no-decrease".
std::string stop_code(NewtonStop stop);
