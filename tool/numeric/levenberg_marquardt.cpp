#include "levenberg_marquardt.h"

#include <algorithm>
#include <cmath>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

struct AugmentedPattern {
    CompressedColumns pattern;
    std::vector<int> lower_slot;
    std::vector<int> upper_slot;
    std::vector<int> top_diagonal_slot;
    std::vector<int> bottom_diagonal_slot;
};

// Columns 0..n-1 (p): the diagonal, then J's column moved down by n.
// Columns n..2n-1 (r): row i of J as a column, then the diagonal. Rows stay
// ascending in every column.
AugmentedPattern augmented_pattern(const CompressedColumns& jacobian) {
    const int n = jacobian.size;
    AugmentedPattern made;
    made.lower_slot.assign(at(jacobian.slot_count()), -1);
    made.upper_slot.assign(at(jacobian.slot_count()), -1);
    made.top_diagonal_slot.assign(at(n), -1);
    made.bottom_diagonal_slot.assign(at(n), -1);
    CompressedColumns& pattern = made.pattern;
    pattern.size = 2 * n;
    for (int column = 0; column < n; ++column) {
        made.top_diagonal_slot[at(column)] = pattern.slot_count();
        pattern.row_indices.push_back(column);
        for (int slot = jacobian.column_starts[at(column)];
             slot < jacobian.column_starts[at(column) + 1]; ++slot) {
            made.lower_slot[at(slot)] = pattern.slot_count();
            pattern.row_indices.push_back(n + jacobian.row_indices[at(slot)]);
        }
        pattern.column_starts.push_back(pattern.slot_count());
    }
    // The transposed block: slots of row i of J, in column order.
    std::vector<std::vector<int>> slots_of_row(at(n));
    for (int column = 0; column < n; ++column) {
        for (int slot = jacobian.column_starts[at(column)];
             slot < jacobian.column_starts[at(column) + 1]; ++slot) {
            slots_of_row[at(jacobian.row_indices[at(slot)])].push_back(slot);
        }
    }
    for (int row = 0; row < n; ++row) {
        for (const int slot : slots_of_row[at(row)]) {
            made.upper_slot[at(slot)] = pattern.slot_count();
            pattern.row_indices.push_back(jacobian.column_of(slot));
        }
        made.bottom_diagonal_slot[at(row)] = pattern.slot_count();
        pattern.row_indices.push_back(n + row);
        pattern.column_starts.push_back(pattern.slot_count());
    }
    return made;
}

}  // namespace

LevenbergMarquardt::LevenbergMarquardt(const CompressedColumns& jacobian_pattern)
    : size_(jacobian_pattern.size), jacobian_rows_(jacobian_pattern.row_indices) {
    for (int column = 0; column < jacobian_pattern.size; ++column) {
        jacobian_columns_.insert(jacobian_columns_.end(),
                                 at(jacobian_pattern.column_starts[at(column) + 1] -
                                    jacobian_pattern.column_starts[at(column)]),
                                 column);
    }
    AugmentedPattern made = augmented_pattern(jacobian_pattern);
    lower_slot_ = std::move(made.lower_slot);
    upper_slot_ = std::move(made.upper_slot);
    top_diagonal_slot_ = std::move(made.top_diagonal_slot);
    bottom_diagonal_slot_ = std::move(made.bottom_diagonal_slot);
    augmented_slots_ = made.pattern.slot_count();
    lu_ = std::make_unique<SparseLu>(std::move(made.pattern));
}

bool LevenbergMarquardt::factor(const std::vector<double>& slot_values,
                                const std::vector<double>& row_weights,
                                const std::vector<double>& column_scales, double lambda,
                                const std::vector<bool>& held) {
    const auto is_held = [&held](int column) { return !held.empty() && held[at(column)]; };
    values_.assign(at(augmented_slots_), 0.0);
    for (int index = 0; index < size_; ++index) {
        const double scale = column_scales[at(index)];
        // A held column keeps only its diagonal: its step is 0.
        values_[at(top_diagonal_slot_[at(index)])] = is_held(index) ? 1.0 : lambda * scale * scale;
        values_[at(bottom_diagonal_slot_[at(index)])] = -1.0;
    }
    for (std::size_t slot = 0; slot < jacobian_rows_.size(); ++slot) {
        const double weighted = is_held(jacobian_columns_[slot])
                                    ? 0.0
                                    : row_weights[at(jacobian_rows_[slot])] * slot_values[slot];
        values_[at(lower_slot_[slot])] = weighted;
        values_[at(upper_slot_[slot])] = weighted;
    }
    return lu_->factor(values_);
}

void LevenbergMarquardt::solve(std::vector<double>& rhs) {
    lu_->solve(rhs);
}

bool LevenbergMarquardt::step(const std::vector<double>& slot_values,
                              const std::vector<double>& row_weights,
                              const std::vector<double>& column_scales, double lambda,
                              const std::vector<double>& residuals, std::vector<double>& p) {
    return factor(slot_values, row_weights, column_scales, lambda) &&
           step(row_weights, residuals, p);
}

bool LevenbergMarquardt::step(const std::vector<double>& row_weights,
                              const std::vector<double>& residuals, std::vector<double>& p) {
    rhs_.assign(at(2 * size_), 0.0);
    for (int row = 0; row < size_; ++row) {
        rhs_[at(size_ + row)] = -row_weights[at(row)] * residuals[at(row)];
    }
    lu_->solve(rhs_);
    p.assign(rhs_.begin(), rhs_.begin() + size_);
    return std::all_of(p.begin(), p.end(), [](double value) { return std::isfinite(value); });
}
