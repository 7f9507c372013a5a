#include "scaled_system.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "null_directions.h"

namespace {

// Shares of the largest diagonal entry (1 after scaling) that move a
// singular matrix just enough to factor it.
constexpr double SHIFTS[] = {1e-12, 1e-8};
constexpr int INVERSE_ITERATIONS = 3;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// Divides by the largest magnitude; all 0 when that is 0 or not finite.
void normalise(std::vector<double>& vector) {
    double largest = 0.0;
    for (const double value : vector) {
        largest = std::max(largest, std::fabs(value));
    }
    for (double& value : vector) {
        value = largest > 0.0 && std::isfinite(largest) ? value / largest : 0.0;
    }
}

}  // namespace

ScaledSystem::Entries ScaledSystem::scaled(const JacobianValues& jacobian,
                                           const std::vector<int>& rows,
                                           const std::vector<int>& columns) {
    const auto size = static_cast<int>(rows.size());
    std::vector<int> position_of(at(jacobian.columns), -1);
    for (int k = 0; k < size; ++k) {
        position_of[at(columns[at(k)])] = k;
    }
    // (column, row, value) in local positions, rows scaled to a largest of 1.
    struct Entry {
        int column;
        int row;
        double value;
    };
    std::vector<Entry> entries;
    Entries scaled;
    scaled.row_divisors.assign(at(size), 1.0);
    for (int k = 0; k < size; ++k) {
        const auto& row_entries = jacobian.row_entries[at(rows[at(k)])];
        double largest = 0.0;
        for (const auto& [column, value] : row_entries) {
            if (position_of[at(column)] >= 0) {
                largest = std::max(largest, std::fabs(value));
            }
        }
        for (const auto& [column, value] : row_entries) {
            if (position_of[at(column)] >= 0 && value != 0.0) {
                entries.push_back({position_of[at(column)], k, value / largest});
            }
        }
        if (largest > 0.0) {
            scaled.row_divisors[at(k)] = largest;
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.column < b.column; });
    std::vector<double> column_largest(at(size), 0.0);
    for (const Entry& entry : entries) {
        column_largest[at(entry.column)] =
            std::max(column_largest[at(entry.column)], std::fabs(entry.value));
    }
    scaled.column_divisors = column_largest;
    scaled.pattern.size = size;
    scaled.diagonal_slots.assign(at(size), -1);
    std::size_t next = 0;
    for (int column = 0; column < size; ++column) {
        for (; next < entries.size() && entries[next].column == column; ++next) {
            if (entries[next].row == column) {
                scaled.diagonal_slots[at(column)] = scaled.pattern.slot_count();
            }
            scaled.pattern.row_indices.push_back(entries[next].row);
            scaled.values.push_back(entries[next].value / column_largest[at(column)]);
        }
        scaled.pattern.column_starts.push_back(scaled.pattern.slot_count());
    }
    return scaled;
}

ScaledSystem::ScaledSystem(const JacobianValues& jacobian, const std::vector<int>& rows,
                           const std::vector<int>& columns)
    : ScaledSystem(scaled(jacobian, rows, columns)) {}

ScaledSystem::ScaledSystem(Entries entries)
    : values_(std::move(entries.values)),
      diagonal_slots_(std::move(entries.diagonal_slots)),
      row_divisors_(std::move(entries.row_divisors)),
      column_divisors_(std::move(entries.column_divisors)),
      lu_(std::move(entries.pattern)) {}

bool ScaledSystem::factor_itself() {
    factored_ = lu_.factor(values_);
    return factored_;
}

double ScaledSystem::condition() {
    return factor_itself() ? lu_.condition_estimate(values_)
                           : std::numeric_limits<double>::infinity();
}

bool ScaledSystem::solve(std::vector<double>& rhs, bool transposed) {
    if (!factored_ && !factor_itself()) {
        return false;
    }
    // The scaled matrix is R A C with R and C the divisors' inverses: A x = b
    // is (R A C) (C^-1 x) = R b, and A^T y = b is (R A C)^T (R^-1 y) = C b.
    const std::vector<double>& into = transposed ? column_divisors_ : row_divisors_;
    const std::vector<double>& out = transposed ? row_divisors_ : column_divisors_;
    std::vector<double> scaled(rhs.size());
    for (std::size_t k = 0; k < rhs.size(); ++k) {
        scaled[k] = rhs[k] / into[k];
    }
    if (transposed) {
        lu_.solve_transposed(scaled);
    } else {
        lu_.solve(scaled);
    }
    for (std::size_t k = 0; k < rhs.size(); ++k) {
        rhs[k] = scaled[k] / out[k];
    }
    return true;
}

bool ScaledSystem::factor_shifted() {
    for (const double shift : SHIFTS) {
        std::vector<double> shifted = values_;
        for (const int slot : diagonal_slots_) {
            if (slot >= 0) {
                shifted[at(slot)] += std::copysign(shift, shifted[at(slot)]);
            }
        }
        if (lu_.factor(shifted)) {
            return true;
        }
    }
    return false;
}

std::vector<double> ScaledSystem::null_weights(bool of_rows) {
    if (!factored_) {
        factored_ = lu_.factor(values_);
    }
    if (!factored_ && !factor_shifted()) {
        return {};
    }
    std::vector<double> vector = irregular_start(diagonal_slots_.size());
    for (int step = 0; step < INVERSE_ITERATIONS; ++step) {
        if (of_rows) {
            lu_.solve_transposed(vector);
        } else {
            lu_.solve(vector);
        }
        normalise(vector);
    }
    for (double& value : vector) {
        value = std::fabs(value);
    }
    return vector;
}
