#pragma once

#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "solve_report.h"
#include "system_choice.h"

// A loaded model with the system its solves take and how they solve it: what
// a sweep needs, from the command line and from Python alike, with the words
// its solves' stops name the caller's options in.
struct ModelSystem {
    LoadedModel& loaded;
    const SystemChoice& choice;
    const SolverSettings& settings;
    StopWording wording = {};
};
