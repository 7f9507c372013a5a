#pragma once

#include <vector>

#include "nonlinear_solver.h"

// The measures the convergence test and the merit function share.

// Each unknown's magnitude, max(|x_j|, 1): what its change is measured against.
std::vector<double> unknown_magnitudes(const std::vector<double>& x);

// Each equation's scale at the point: the largest |dF_i/dx_j| * magnitude_j
// over its unknowns, the size of the largest change its terms can make for a
// relative change of the unknowns; 1 where the row is all zero.
void equation_scales(const CompressedColumns& pattern, const std::vector<double>& slot_values,
                     const std::vector<double>& magnitudes, std::vector<double>& scales);

// The largest |residual|, and the largest |residual| / scale; NaN counts as
// the largest.
ResidualMeasure largest_absolute(const std::vector<double>& residuals);
ResidualMeasure largest_scaled(const std::vector<double>& residuals,
                               const std::vector<double>& scales);

// The largest |step_j| / magnitude_j and its column.
ResidualMeasure largest_relative_change(const std::vector<double>& step,
                                        const std::vector<double>& magnitudes);
