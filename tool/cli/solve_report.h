#pragma once

#include <string>

#include "loaded_model.h"
#include "newton_solver.h"
#include "system_choice.h"

// Why a solve stopped, in words that name the equations and variables
// concerned. `choice` maps the solver's rows and columns to host numbers.
std::string describe_stop(const NewtonOutcome& outcome, const LoadedModel& loaded,
                          const SystemChoice& choice);

// The name (as the host holds it) of the equation of solver row `row`; empty
// for -1.
std::string equation_of_row(const LoadedModel& loaded, const SystemChoice& choice, int row);

// A short code for the reason: "converged", "iteration-limit",
// "non-finite-residuals", "non-finite-derivatives", "singular-jacobian",
// "no-decrease".
std::string stop_code(NewtonStop stop);
