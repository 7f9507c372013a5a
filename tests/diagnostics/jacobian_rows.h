#pragma once

#include <utility>
#include <vector>

#include "jacobian_values.h"

// Small Jacobians written out row by row, for the tests of the doctor's
// linear algebra.

// Per row: (column, value).
using Rows = std::vector<std::vector<std::pair<int, double>>>;

// The Jacobian of `rows`, square unless `columns` says otherwise.
inline JacobianValues jacobian_of(Rows rows, int columns = -1) {
    JacobianValues jacobian;
    jacobian.rows = static_cast<int>(rows.size());
    jacobian.columns = columns < 0 ? jacobian.rows : columns;
    jacobian.row_entries = std::move(rows);
    return jacobian;
}

// -T[i-1] + 2 T[i] - T[i+1] on `size` nodes, the first row replaced by a
// copy of row `copied` when that is not -1.
inline Rows second_differences(int size, int copied) {
    Rows rows(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) {
        auto& row = rows[static_cast<std::size_t>(i)];
        if (i > 0) {
            row.emplace_back(i - 1, -1.0);
        }
        row.emplace_back(i, 2.0);
        if (i + 1 < size) {
            row.emplace_back(i + 1, -1.0);
        }
    }
    if (copied >= 0) {
        rows.front() = rows[static_cast<std::size_t>(copied)];
    }
    return rows;
}
