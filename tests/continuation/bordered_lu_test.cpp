#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "bordered_lu.h"
#include "dense_solve.h"
#include "small_curve.h"

// The bordered LU's determinant and solves against dense elimination.
namespace {

using Matrix = dense_solve::Matrix;

// det by Gaussian elimination with partial pivoting: sign and log |det|.
DeterminantSign dense_determinant(Matrix a) {
    const std::size_t n = a.size();
    DeterminantSign det{1, 0.0};
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) {
                pivot = row;
            }
        }
        if (a[pivot][col] == 0.0) {
            return {0, -std::numeric_limits<double>::infinity()};
        }
        if (pivot != col) {
            std::swap(a[col], a[pivot]);
            det.sign = -det.sign;
        }
        det.sign *= a[col][col] < 0 ? -1 : 1;
        det.log_magnitude += std::log(std::fabs(a[col][col]));
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k) {
                a[row][k] -= factor * a[col][k];
            }
        }
    }
    return det;
}

struct BorderedCase {
    const char* name;
    int unknowns;
    std::vector<NonzeroPlace> entries;  // rows 0..n-1, columns 0..n
};

// Patterns that make KLU permute rows and columns and split the matrix into
// blocks: a swap (an odd permutation), a diagonal run backwards, a cycle, a
// block without diagonal (pivots off it), a dense block, a lower bidiagonal.
std::vector<BorderedCase> bordered_cases() {
    return {
        {"swap", 2, {{0, 1}, {1, 0}, {0, 2}}},
        {"no_diagonal", 3, {{0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 3}}},
        {"anti_diagonal", 4, {{0, 3}, {1, 2}, {2, 1}, {3, 0}, {0, 4}, {2, 4}}},
        {"cycle", 3, {{0, 1}, {1, 2}, {2, 0}, {1, 3}}},
        {"dense",
         3,
         {{0, 0},
          {0, 1},
          {0, 2},
          {0, 3},
          {1, 0},
          {1, 1},
          {1, 2},
          {1, 3},
          {2, 0},
          {2, 1},
          {2, 2},
          {2, 3}}},
        {"bidiagonal",
         5,
         {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {3, 2}, {3, 3}, {4, 3}, {4, 4}, {4, 5}}},
    };
}

TEST(bordered_lu, determinant_and_solution_match_dense_elimination) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    for (const BorderedCase& c : bordered_cases()) {
        JacobianAssembly assembly(c.unknowns + 1, c.entries);
        BorderedLu lu(assembly.pattern());
        const auto size = static_cast<std::size_t>(c.unknowns + 1);
        for (int trial = 0; trial < 20; ++trial) {
            Vector host_values;
            Matrix dense(size, Vector(size, 0.0));
            for (const NonzeroPlace& place : c.entries) {
                host_values.push_back(value(random));
                dense[static_cast<std::size_t>(place.row)][static_cast<std::size_t>(place.column)] =
                    host_values.back();
            }
            Vector row(size);
            for (double& entry : row) {
                entry = value(random);
            }
            dense.back() = row;
            Vector slots;
            assembly.assemble(host_values.data(), slots);
            const DeterminantSign expected = dense_determinant(dense);
            const Vector solution = dense_solve::solve(dense, Vector(size, 1.0));
            // Every column that leaves the rest nonsingular may be set aside;
            // the parameter's always does in these cases.
            for (int aside = c.unknowns; aside >= 0; --aside) {
                if (!lu.factor(slots, row, aside)) {
                    EXPECT_NE(aside, c.unknowns) << c.name;
                    continue;
                }
                const DeterminantSign found = lu.determinant();
                EXPECT_EQ(found.sign, expected.sign) << c.name << " aside " << aside;
                EXPECT_NEAR(found.log_magnitude, expected.log_magnitude, 1e-10) << c.name;
                Vector rhs(size, 1.0);
                lu.solve(rhs);
                for (std::size_t index = 0; index < size; ++index) {
                    EXPECT_NEAR(rhs[index], solution[index],
                                1e-9 * (1 + std::fabs(solution[index])))
                        << c.name << " aside " << aside;
                }
            }
        }
    }
}

// x^2 + y^2 = 1 at its turning point (y, x) = (0, 1): dF/dy = 2y is exactly
// 0, so eliminating through it fails, and through the parameter's column,
// the one the curve moves in there, succeeds.
TEST(bordered_lu, a_turning_point_is_solved_through_the_column_the_curve_moves_in) {
    JacobianAssembly assembly(2, {{0, 0}, {0, 1}});
    BorderedLu lu(assembly.pattern());
    const Vector slots{0.0, 2.0};  // dF/dy, dF/dx
    const Vector tangent_row{1.0, 0.0};
    EXPECT_FALSE(lu.factor(slots, tangent_row, 1));
    ASSERT_TRUE(lu.factor(slots, tangent_row, 0));
    Vector rhs{4.0, 3.0};  // 2 x = 4, y = 3
    lu.solve(rhs);
    EXPECT_EQ(rhs, (Vector{3.0, 2.0}));
    EXPECT_EQ(lu.determinant().sign, -1);  // det [[0, 2], [1, 0]]
}

TEST(bordered_lu, refuses_a_jacobian_with_a_row_in_the_border) {
    JacobianAssembly assembly(2, {{0, 0}, {1, 1}});
    EXPECT_THROW(BorderedLu{assembly.pattern()}, std::invalid_argument);
}

}  // namespace
