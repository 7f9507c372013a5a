#pragma once

#include <ostream>
#include <vector>

#include "command_options.h"
#include "loaded_model.h"
#include "model_solve.h"

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
