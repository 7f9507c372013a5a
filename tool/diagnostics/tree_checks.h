#pragma once

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"
#include "numbered_model.h"

// Where one equation stands in the file.
struct EquationPlace {
    int number;         // host equation number
    std::string place;  // see ModelDocument::pointer_of
};

// What the checks of one equation's trees learn beside their findings: which
// trees can be evaluated (a numeric text that is no number makes evaluation
// fail), for the numeric checks that follow.
struct EquationScan {
    bool residual_evaluable = true;
    std::vector<bool> derivative_evaluable;  // one per entry
    std::vector<std::string> entry_places;   // one per entry
};

// The checks that read one equation's trees and entries: unknown-variable,
// unrecognised-node, unknown-function, single-precision-text,
// invalid-numeric-text, missing-derivative, duplicate-entry, missing-entry and
// unused-entry. Appends findings in file order.
EquationScan check_equation_trees(const NumberedModel& model, const EquationPlace& place,
                                  std::vector<Finding>& findings);
