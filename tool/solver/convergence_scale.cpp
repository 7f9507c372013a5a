#include "convergence_scale.h"

#include <algorithm>
#include <cmath>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// The largest of |numerator_i| / denominator_i (denominator empty: 1), a NaN
// above every number.
template <typename Denominator>
ResidualMeasure largest_ratio(const std::vector<double>& numerators, Denominator denominator) {
    ResidualMeasure largest;
    for (std::size_t index = 0; index < numerators.size(); ++index) {
        if (largest.row >= 0 && std::isnan(largest.value)) {
            break;
        }
        const double ratio = std::fabs(numerators[index]) / denominator(index);
        if (largest.row < 0 || std::isnan(ratio) || ratio > largest.value) {
            largest = {ratio, static_cast<int>(index)};
        }
    }
    return largest;
}

}  // namespace

std::vector<double> unknown_magnitudes(const std::vector<double>& x) {
    std::vector<double> magnitudes(x.size());
    std::transform(x.begin(), x.end(), magnitudes.begin(),
                   [](double value) { return std::max(std::fabs(value), 1.0); });
    return magnitudes;
}

void equation_scales(const CompressedColumns& pattern, const std::vector<double>& slot_values,
                     const std::vector<double>& magnitudes, std::vector<double>& scales) {
    scales.assign(at(pattern.size), 0.0);
    for (int column = 0; column < pattern.size; ++column) {
        for (int slot = pattern.column_starts[at(column)];
             slot < pattern.column_starts[at(column) + 1]; ++slot) {
            double& scale = scales[at(pattern.row_indices[at(slot)])];
            scale = std::max(scale, std::fabs(slot_values[at(slot)]) * magnitudes[at(column)]);
        }
    }
    for (double& scale : scales) {
        if (!(scale > 0.0) || !std::isfinite(scale)) {
            scale = 1.0;
        }
    }
}

ResidualMeasure largest_absolute(const std::vector<double>& residuals) {
    return largest_ratio(residuals, [](std::size_t) { return 1.0; });
}

ResidualMeasure largest_scaled(const std::vector<double>& residuals,
                               const std::vector<double>& scales) {
    return largest_ratio(residuals, [&](std::size_t row) { return scales[row]; });
}

ResidualMeasure largest_relative_change(const std::vector<double>& step,
                                        const std::vector<double>& magnitudes) {
    return largest_ratio(step, [&](std::size_t column) { return magnitudes[column]; });
}
