#pragma once

#include <functional>
#include <string>
#include <vector>

#include "loaded_model.h"
#include "model_file_scan.h"
#include "nonlinear_solver.h"
#include "solve_report.h"
#include "system_choice.h"

// The faults found before iterating, one sentence each: the host's
// refusals, then the references and entries of symbols that no model
// variable has, naming the equation as the file writes it. A solve refuses a
// model with faults unless forced.
std::vector<std::string> model_faults(const ModelSession& session, const ModelFileScan& scan);

// The unknowns' current values in the host, in column order.
std::vector<double> unknown_values(const ModelSession& session, const SystemChoice& choice);

struct ModelSolution {
    SolveOutcome outcome;
    std::string verdict;       // the block's own, after the solve was reported to it
    std::string stop_message;  // why the solve stopped, naming equations and symbols
    // Per host variable number (index 0 unused): "lower" or "upper" for an
    // unknown that ends on that bound, else "".
    std::vector<std::string> bound_of_variable;
    bool converged() const { return outcome.stop == SolveStop::converged; }
};

// The nonlinear solver on the chosen system from `start` (one value per
// unknown), within the unknowns' bounds. Afterwards the host's vectors hold
// the solution and its residuals, and the block has been told whether the
// solve converged. `observer` sees each iteration as soon as it is made; the
// stop's words name the caller's options as `wording` does. This is the one
// solve behind `quillon solve`, `quillon sweep` and the Python module.
ModelSolution solve_model(LoadedModel& loaded, const SystemChoice& choice,
                          const SolverSettings& settings, const std::vector<double>& start,
                          const std::function<void(const IterationRecord&)>& observer,
                          const StopWording& wording = {});
