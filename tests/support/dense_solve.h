#pragma once

// A dense linear solve for the handful of unknowns a test has.

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace dense_solve {

using Matrix = std::vector<std::vector<double>>;

// Solves a x = b by Gaussian elimination with partial pivoting.
inline std::vector<double> solve(Matrix a, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) {
                pivot = row;
            }
        }
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k) {
                a[row][k] -= factor * a[col][k];
            }
            b[row] -= factor * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t row = n; row-- > 0;) {
        double rest = b[row];
        for (std::size_t k = row + 1; k < n; ++k) {
            rest -= a[row][k] * x[k];
        }
        x[row] = rest / a[row][row];
    }
    return x;
}

}  // namespace dense_solve
