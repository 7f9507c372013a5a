#pragma once

#include <vector>

#include "finding.h"
#include "model_document.h"
#include "model_session.h"
#include "numbered_model.h"
#include "structural_matching.h"

// The structure of the system as the host holds it: equations as rows,
// variables as columns, an edge per nonzero that names a variable.
BipartiteGraph host_structure(const ModelSession& session);

// The checks of the model as a whole: duplicate-symbol, not-square and
// structurally-singular (from a maximum matching of the host's structure).
void check_structure(const NumberedModel& model, const BipartiteGraph& structure,
                     std::vector<Finding>& findings);
