#pragma once

#include <vector>

#include "json_output.h"
#include "loaded_model.h"
#include "model_solve.h"
#include "system_choice.h"

// The document of a solve: what `quillon solve --format json` writes and
// what the Python module's SolveResult is converted from. The lists that
// grow with the model are made as they are written. `variables`: the host
// numbers of the variables to list, in order (every one, unless the command
// line chose). `loaded`, `choice` and `result` must outlive the writing.
std::vector<JsonMember> solve_document(const LoadedModel& loaded, const SystemChoice& choice,
                                       const ModelSolution& result,
                                       const std::vector<int>& variables);
