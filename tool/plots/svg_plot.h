#pragma once

#include <string>
#include <vector>

#include "nonlinear_solver.h"

// Writes the convergence history as an SVG picture: the largest residual on a
// logarithmic scale against the iteration, and beside it the step length.
void write_convergence_plot(const std::string& path, const std::vector<IterationRecord>& history,
                            const std::string& title);
