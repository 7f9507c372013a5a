#pragma once

#include <vector>

#include "finding.h"
#include "jacobian_checks.h"
#include "model_document.h"
#include "model_session.h"
#include "numbered_model.h"
#include "numeric_checks.h"
#include "structural_matching.h"

// Everything `check` finds in a model: structure first, then each equation
// in file order, its trees and entries, then its numbers.
// Findings name their place in the file as the loader numbers records (see
// ModelDocument::pointer_of) until `place_findings` reads the file's
// document, only when some finding has a place, and turns each into a JSON
// pointer.
// `jacobian` holds the Jacobian's values at the starting point (not finite
// when it could not be evaluated); the system's checks evaluate it at other
// points through `session`, whose values they leave as they were.
std::vector<Finding> examine_model(ModelSession& session, const NumberedModel& model,
                                   const BipartiteGraph& structure, const JacobianValues& jacobian);
void place_findings(const std::string& model_path, std::vector<Finding>& findings);

// The starting point and a few points inside the bounds, at which the
// numeric checks evaluate the trees. Fixed pseudo-random places, so that a
// check gives the same findings every time.
std::vector<CheckPoint> check_points(const ModelSession& session);
