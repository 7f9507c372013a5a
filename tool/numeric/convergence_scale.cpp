#include "convergence_scale.h"

#include <algorithm>
#include <limits>

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
