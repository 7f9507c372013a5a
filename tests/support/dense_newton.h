#pragma once

// A plain Newton loop that uses nothing but the host's lists and Jacobian, as
// a host's solver would: it shows that the pieces a block writes fit together.
// Dense, so only for the handful of variables a test has.

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "zel_container.h"

namespace dense_newton {

using Matrix = std::vector<std::vector<double>>;

// The host's sparse Jacobian as a dense matrix, duplicates summed; nonzeros
// set aside by the host (equation or variable 0) take no part.
inline Matrix dense_jacobian(const rt_jac_t& jacobian) {
    const auto columns = static_cast<std::size_t>(jacobian.variable_count());
    Matrix dense(static_cast<std::size_t>(jacobian.equation_count()),
                 std::vector<double>(columns, 0.0));
    for (int number = 1; number <= jacobian.size(); ++number) {
        const rt_nz_t& nz = *jacobian.find(number);
        if (nz.equation != 0 && nz.variable != 0) {
            dense[static_cast<std::size_t>(nz.equation - 1)]
                 [static_cast<std::size_t>(nz.variable - 1)] += jacobian.values()[number - 1];
        }
    }
    return dense;
}

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

// Newton's method through the container until the largest absolute residual
// is below 1e-12: the number of steps taken, or -1 without convergence.
inline int newton(ZELEOCntr& container, int max_steps) {
    rtvarlst_t& variables = *container.variables();
    const rtattrdict_t& equations = *container.equations();
    for (int step = 0; step <= max_steps; ++step) {
        container.evaluate_residuals();
        std::vector<double> minus_f(equations.residuals(),
                                    equations.residuals() + equations.size());
        double largest = 0.0;
        for (double& value : minus_f) {
            largest = std::fmax(largest, std::fabs(value));
            value = -value;
        }
        if (largest < 1e-12) {
            return step;
        }
        container.evaluate_jacobian();
        const std::vector<double> delta = solve(dense_jacobian(*container.jacobian()), minus_f);
        for (int index = 0; index < variables.size(); ++index) {
            variables.values()[index] += delta[static_cast<std::size_t>(index)];
        }
    }
    return -1;
}

}  // namespace dense_newton
