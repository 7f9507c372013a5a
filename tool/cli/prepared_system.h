#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "command_options.h"
#include "loaded_model.h"
#include "nonlinear_solver.h"
#include "system_choice.h"

// What solve and sweep do before iterating: load the model with its starting
// point, refuse it (exit 2) when the host refused a registration or an
// equation names a symbol that is no model variable, unless --force, which
// only warns, and choose the square system to solve. Warnings go to `err`.
class PreparedSystem {
  public:
    // `varied`: the variable sweep varies, fixed at its first value.
    PreparedSystem(const SystemOptions& options, const CommandContext& context,
                   const std::vector<Assignment>& varied, std::ostream& err);

    LoadedModel loaded;
    SystemChoice choice;
    SolverSettings settings;
};

// The faults found before iterating, one sentence each: the host's
// refusals, then the references and entries of symbols that no model
// variable has, naming the equation as the file writes it.
std::vector<std::string> model_faults(const ModelSession& session, const ModelFileScan& scan);

// The unknowns' current values in the host, in column order.
std::vector<double> unknown_values(const ModelSession& session, const SystemChoice& choice);

// One solve of the prepared system and the block's verdict on it.
struct SolveResult {
    SolveOutcome outcome;
    std::string verdict;       // the block's, read back after the report
    std::string stop_message;  // why it stopped, in words
    // Per host variable number (index 0 unused): "lower", "upper" or "" for
    // the unknowns that end on a bound.
    std::vector<std::string> bound_of_variable;
    bool converged() const { return outcome.stop == SolveStop::converged; }
};

// Solves from `start` (one value per unknown), leaves the host's vectors at
// the outcome (its values and residuals) and reports the verdict to the
// block. `observer` sees each iteration as it is made. The one solve routine
// of solve and sweep.
SolveResult solve_prepared(PreparedSystem& prepared, const std::vector<double>& start,
                           const std::function<void(const IterationRecord&)>& observer);
