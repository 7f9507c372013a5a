#pragma once

// A plain Newton loop that uses nothing but the host's lists and Jacobian, as
// a host's solver would: it shows that the pieces a block writes fit together.
// Dense, so only for the handful of variables a test has.

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "dense_solve.h"
#include "zel_container.h"

namespace dense_newton {

// The host's sparse Jacobian as a dense matrix, duplicates summed; nonzeros
// set aside by the host (equation or variable 0) take no part.
inline dense_solve::Matrix dense_jacobian(const rt_jac_t& jacobian) {
    const auto columns = static_cast<std::size_t>(jacobian.variable_count());
    dense_solve::Matrix dense(static_cast<std::size_t>(jacobian.equation_count()),
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
        const std::vector<double> delta =
            dense_solve::solve(dense_jacobian(*container.jacobian()), minus_f);
        for (int index = 0; index < variables.size(); ++index) {
            variables.values()[index] += delta[static_cast<std::size_t>(index)];
        }
    }
    return -1;
}

}  // namespace dense_newton
