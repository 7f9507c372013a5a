#include "singularity.h"

#include <cmath>
#include <limits>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// 1 / largest, or 1 where the largest is 0 or not finite.
double reciprocal(double largest) {
    return largest > 0.0 && std::isfinite(largest) ? 1.0 / largest : 1.0;
}

}  // namespace

Equilibration equilibrate(const CompressedColumns& pattern, std::vector<double>& values,
                          const std::vector<double>& row_weights) {
    Equilibration scales{row_weights, std::vector<double>(at(pattern.size), 0.0)};
    if (row_weights.empty()) {
        scales.rows.assign(at(pattern.size), 0.0);
        for (int slot = 0; slot < pattern.slot_count(); ++slot) {
            double& largest = scales.rows[at(pattern.row_indices[at(slot)])];
            largest = std::fmax(largest, std::fabs(values[at(slot)]));
        }
        for (double& scale : scales.rows) {
            scale = reciprocal(scale);
        }
    }
    for (int column = 0; column < pattern.size; ++column) {
        const int first = pattern.column_starts[at(column)];
        const int end = pattern.column_starts[at(column) + 1];
        double largest = 0.0;
        for (int slot = first; slot < end; ++slot) {
            values[at(slot)] *= scales.rows[at(pattern.row_indices[at(slot)])];
            largest = std::fmax(largest, std::fabs(values[at(slot)]));
        }
        const double scale = reciprocal(largest);
        for (int slot = first; slot < end; ++slot) {
            values[at(slot)] *= scale;
        }
        scales.columns[at(column)] = scale;
    }
    return scales;
}

double equilibrated_condition(SparseLu& lu, const CompressedColumns& pattern,
                              std::vector<double> values, const std::vector<double>& row_weights) {
    equilibrate(pattern, values, row_weights);
    return lu.factor(values) ? lu.condition_estimate(values)
                             : std::numeric_limits<double>::infinity();
}
