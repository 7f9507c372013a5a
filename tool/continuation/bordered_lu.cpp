#include "bordered_lu.h"

#include <stdexcept>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

// Column by column: the Jacobian's slots, then the border's, whose row n
// comes after every row of the Jacobian.
CompressedColumns BorderedLu::bordered_pattern(const CompressedColumns& jacobian) {
    if (jacobian.size < 1) {
        throw std::invalid_argument("a curve system has at least its parameter");
    }
    CompressedColumns bordered;
    bordered.size = jacobian.size;
    bordered.row_indices.reserve(at(jacobian.slot_count() + jacobian.size));
    for (int column = 0; column < jacobian.size; ++column) {
        for (int slot = jacobian.column_starts[at(column)];
             slot < jacobian.column_starts[at(column) + 1]; ++slot) {
            const int row = jacobian.row_indices[at(slot)];
            if (row < 0 || row >= jacobian.size - 1) {
                throw std::invalid_argument(
                    "a curve system's Jacobian has a row outside 0 .. n - 1");
            }
            bordered.row_indices.push_back(row);
        }
        bordered.row_indices.push_back(jacobian.size - 1);
        bordered.column_starts.push_back(bordered.slot_count());
    }
    return bordered;
}

BorderedLu::BorderedLu(const CompressedColumns& jacobian)
    : jacobian_(jacobian), lu_(bordered_pattern(jacobian)) {}

bool BorderedLu::factor(const std::vector<double>& slot_values, const std::vector<double>& row) {
    if (slot_values.size() != at(jacobian_.slot_count()) || row.size() != at(jacobian_.size)) {
        throw std::logic_error("BorderedLu::factor needs one value per slot and per column");
    }
    values_.resize(slot_values.size() + row.size());
    std::size_t to = 0;
    for (std::size_t column = 0; column < row.size(); ++column) {
        for (int slot = jacobian_.column_starts[column]; slot < jacobian_.column_starts[column + 1];
             ++slot) {
            values_[to++] = slot_values[at(slot)];
        }
        values_[to++] = row[column];
    }
    return lu_.factor(values_);
}
