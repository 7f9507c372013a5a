#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "numbered_model.h"
#include "structural_matching.h"

// Writes the Jacobian's pattern as an SVG picture: equations as rows,
// variables as columns, in block triangular order when the system is square
// and structurally regular (blocks outlined), in file order otherwise. The
// nonzeros that findings concern are red; where a finding names an equation
// and a variable that have no nonzero, a red outline marks the place. Small
// models get the equation names and symbols along the axes; large ones are
// drawn with several rows and columns to a cell.
void write_spy_plot(const std::string& path, const BipartiteGraph& structure,
                    const std::vector<Finding>& findings, const NumberedModel& model,
                    const std::string& title);
