#include "convergence_scale.h"

#include <algorithm>
#include <limits>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

bool equation_scale_products(const CompressedColumns& pattern,
                             const std::vector<double>& slot_values,
                             const std::vector<double>& magnitudes, std::vector<double>& scales) {
    scales.assign(at(pattern.size), 0.0);
    bool finite = true;
    for (int column = 0; column < pattern.size; ++column) {
        for (int slot = pattern.column_starts[at(column)];
             slot < pattern.column_starts[at(column) + 1]; ++slot) {
            const double size = std::fabs(slot_values[at(slot)]);
            finite &= size <= std::numeric_limits<double>::max();
            double& scale = scales[at(pattern.row_indices[at(slot)])];
            scale = std::max(scale, size * magnitudes[at(column)]);
        }
    }
    return finite;
}

ResidualMeasure largest_absolute(const std::vector<double>& residuals) {
    LargestRatio largest;
    for (std::size_t row = 0; row < residuals.size(); ++row) {
        largest.offer(residuals[row], 1.0, static_cast<int>(row));
    }
    return largest.largest();
}

ResidualMeasure largest_scaled(const std::vector<double>& residuals,
                               const std::vector<double>& scales) {
    LargestRatio largest;
    for (std::size_t row = 0; row < residuals.size(); ++row) {
        largest.offer(residuals[row], scales[row], static_cast<int>(row));
    }
    return largest.largest();
}
