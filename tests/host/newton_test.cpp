#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "pair_block.h"
#include "zel_container.h"

namespace {

using Matrix = std::vector<std::vector<double>>;

// The host's sparse Jacobian as a dense matrix; nonzeros set aside by the host
// (equation or variable 0) take no part.
Matrix dense_jacobian(const rt_jac_t& jac) {
    const auto n = static_cast<std::size_t>(jac.variable_count());
    Matrix dense(static_cast<std::size_t>(jac.equation_count()), std::vector<double>(n, 0.0));
    for (int number = 1; number <= jac.size(); ++number) {
        const rt_nz_t& nz = *jac.find(number);
        if (nz.equation != 0 && nz.variable != 0) {
            dense[static_cast<std::size_t>(nz.equation - 1)]
                 [static_cast<std::size_t>(nz.variable - 1)] += jac.values()[number - 1];
        }
    }
    return dense;
}

// Solves a x = b by Gaussian elimination with partial pivoting.
std::vector<double> solve(Matrix a, std::vector<double> b) {
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
        double sum = b[row];
        for (std::size_t k = row + 1; k < n; ++k) {
            sum -= a[row][k] * x[k];
        }
        x[row] = sum / a[row][row];
    }
    return x;
}

double largest_residual(const rtattrdict_t& equations) {
    double largest = 0.0;
    for (int number = 0; number < equations.size(); ++number) {
        largest = std::fmax(largest, std::fabs(equations.residuals()[number]));
    }
    return largest;
}

// Newton's method through the container: the host's lists are all it uses.
bool newton(ZELEOCntr& container, int max_iterations) {
    rtvarlst_t& variables = *container.variables();
    const rtattrdict_t& equations = *container.equations();
    for (int iteration = 0; iteration < max_iterations; ++iteration) {
        container.evaluate_residuals();
        if (largest_residual(equations) < 1e-12) {
            return true;
        }
        container.evaluate_jacobian();
        std::vector<double> minus_f(equations.residuals(),
                                    equations.residuals() + equations.size());
        for (double& value : minus_f) {
            value = -value;
        }
        const std::vector<double> step = solve(dense_jacobian(*container.jacobian()), minus_f);
        for (int number = 0; number < variables.size(); ++number) {
            variables.values()[number] += step[static_cast<std::size_t>(number)];
        }
    }
    return false;
}

TEST(host_newton, solves_two_blocks_through_the_container) {
    ZELEOCntr container;
    container.add_block(new PairBlock("A", 2.0, 1.0));  // x * y = 2, x - y = 1
    container.add_block(new PairBlock("B", 6.0, 1.0));  // x * y = 6, x - y = 1
    ASSERT_EQ(container.build_structure(), 0);

    const bool converged = newton(container, 20);
    ASSERT_TRUE(converged);
    EXPECT_EQ(container.report_solve(RT_CONVERGED), 0);

    const double* values = container.variables()->values();
    const std::vector<double> expected = {2.0, 1.0, 3.0, 2.0};
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_NEAR(values[index], expected[index], 1e-10) << "variable " << index + 1;
    }
    const auto* first = dynamic_cast<const PairBlock*>(container.block(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->reported_status(), RT_CONVERGED);
}

}  // namespace
