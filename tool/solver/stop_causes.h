#pragma once

#include <string>

#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "solve_report.h"
#include "system_choice.h"

// What a solve that stopped short found as the cause, in words that name the
// equations and unknowns concerned and say what to do: "; " and the words, or
// nothing for a stop without a diagnosis.
std::string cause_words(const SolveOutcome& outcome, const LoadedModel& loaded,
                        const SystemChoice& choice, const StopWording& wording);
