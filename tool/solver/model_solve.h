#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "starting_point.h"

// What a solve of a loaded model works on, settled before any iteration: the
// fixed variables (set to their values in the host's vector), the unknowns in
// column order, and the nonzeros that take no part because they name no model
// variable, which the caller should point out.
struct SolvePlan {
    std::set<int> fixed;
    std::vector<int> unknowns;
    std::vector<std::string> warnings;
};

// How the caller's fixing option reads in messages: its name ("--fix") and
// how it is written ("--fix SYMBOL=VALUE").
struct FixWording {
    std::string name;
    std::string usage;
};

// Sets each fixed variable, then makes sure the system is square. Throws
// UsageError naming the fixing option for a symbol the model lacks, and
// saying how to use it for a system that is not square.
SolvePlan plan_solve(LoadedModel& loaded, const std::vector<Assignment>& fix,
                     const FixWording& wording);

struct ModelSolution {
    SolveOutcome outcome;
    std::string verdict;       // the block's own, after the solve was reported to it
    std::string stop_message;  // why the solve stopped, naming equations and symbols
    // Per host variable number (index 0 unused): "lower" or "upper" for an
    // unknown that ends on that bound, else "".
    std::vector<std::string> bound_of_variable;
};

// The nonlinear solver from the host's current values of the unknowns,
// within their bounds. Afterwards the host's vectors hold the solution and its
// residuals, and the block has been told whether the solve converged.
// `observer` sees each iteration as soon as it is made. This is the one solve
// behind both `quillon solve` and the Python module.
ModelSolution solve_model(LoadedModel& loaded, const SolvePlan& plan,
                          const SolverSettings& settings,
                          const std::function<void(const IterationRecord&)>& observer);
