#pragma once

#include <nlohmann/json.hpp>

#include "loaded_model.h"
#include "model_solve.h"
#include "system_choice.h"

// What a solve's document says of its stop beyond the message, as `quillon
// solve --format json` writes it and the Python module's result holds it:
// "cause" (the diagnosis's code, null for a point that met the test),
// "diagnosis" (the unknowns and equations that show it: "growing",
// "loop_equations", "held", "dependent_equations", "undetermined",
// "contradicting", "at_best_point"), "continuum" (for not-unique: "moving",
// "dependent_equations", "other_solution" by symbol; else null), "polished",
// "fallback_iteration" (null when the trust region did it all) and "counts"
// (residual and Jacobian evaluations, rejected and faulted trials).
nlohmann::ordered_json stop_details(const ModelSolution& solution, const LoadedModel& loaded,
                                    const SystemChoice& choice);
