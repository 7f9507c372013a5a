#include "sparse_products.h"

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

void multiply(const CompressedColumns& pattern, const std::vector<double>& values,
              const std::vector<double>& v, std::vector<double>& y) {
    y.assign(at(pattern.size), 0.0);
    for (int column = 0; column < pattern.size; ++column) {
        const double factor = v[at(column)];
        for (int slot = pattern.column_starts[at(column)];
             slot < pattern.column_starts[at(column) + 1]; ++slot) {
            y[at(pattern.row_indices[at(slot)])] += values[at(slot)] * factor;
        }
    }
}

void multiply_transposed(const CompressedColumns& pattern, const std::vector<double>& values,
                         const std::vector<double>& v, std::vector<double>& y) {
    y.assign(at(pattern.size), 0.0);
    for (int column = 0; column < pattern.size; ++column) {
        double sum = 0.0;
        for (int slot = pattern.column_starts[at(column)];
             slot < pattern.column_starts[at(column) + 1]; ++slot) {
            sum += values[at(slot)] * v[at(pattern.row_indices[at(slot)])];
        }
        y[at(column)] = sum;
    }
}
