#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "jacobian_assembly.h"
#include "levenberg_marquardt.h"
#include "sparse_lu.h"

namespace {

using Vector = std::vector<double>;

// A dense n x n pattern in compressed columns.
CompressedColumns dense_pattern(int size) {
    CompressedColumns pattern;
    pattern.size = size;
    for (int column = 0; column < size; ++column) {
        for (int row = 0; row < size; ++row) {
            pattern.row_indices.push_back(row);
        }
        pattern.column_starts.push_back(pattern.slot_count());
    }
    return pattern;
}

// Column-major values of a dense matrix given row by row.
Vector column_major(const std::vector<Vector>& rows) {
    Vector values;
    for (std::size_t column = 0; column < rows.size(); ++column) {
        for (const Vector& row : rows) {
            values.push_back(row[column]);
        }
    }
    return values;
}

// Host nonzeros listing the same (row, column) more than once share one slot
// and their values add up: d/dx of an equation that lists x twice is the sum.
TEST(jacobian_assembly, duplicate_nonzeros_share_a_slot_and_add_up) {
    const struct {
        const char* label;
        std::vector<NonzeroPlace> places;
        Vector host_values;
        std::vector<int> column_starts;
        std::vector<int> row_indices;
        Vector slot_values;
    } cases[] = {
        {"no duplicates, listed out of order",
         {{1, 1}, {0, 0}, {1, 0}},
         {3, 1, 2},
         {0, 2, 3},
         {0, 1, 1},
         {1, 2, 3}},
        {"one entry listed three times",
         {{0, 0}, {0, 0}, {1, 1}, {0, 0}},
         {1, 10, 5, 100},
         {0, 1, 2},
         {0, 1},
         {111, 5}},
        {"a fixed variable's nonzero takes no part",
         {{0, 0}, {0, -1}, {1, 1}, {1, 1}},
         {2, 99, -1, -2},
         {0, 1, 2},
         {0, 1},
         {2, -3}},
        // (0 + 1e16) + 1 rounds back to 1e16: any other order gives 1.
        {"repeated entries add up in nonzero order",
         {{0, 0}, {1, 1}, {0, 0}, {0, 0}},
         {1e16, 5, 1, -1e16},
         {0, 1, 2},
         {0, 1},
         {0, 5}},
        {"a lone -0 is summed from +0, as a repeated one is",
         {{0, 0}, {1, 1}},
         {-0.0, 2},
         {0, 1, 2},
         {0, 1},
         {0.0, 2}},
    };
    for (const auto& c : cases) {
        const JacobianAssembly assembly(2, c.places);
        EXPECT_EQ(assembly.pattern().column_starts, c.column_starts) << c.label;
        EXPECT_EQ(assembly.pattern().row_indices, c.row_indices) << c.label;
        Vector slot_values{7, 7, 7};  // stale values must not survive
        assembly.assemble(c.host_values.data(), slot_values);
        ASSERT_EQ(slot_values.size(), c.slot_values.size()) << c.label;
        for (std::size_t slot = 0; slot < slot_values.size(); ++slot) {
            EXPECT_EQ(slot_values[slot], c.slot_values[slot]) << c.label;
            EXPECT_EQ(std::signbit(slot_values[slot]), std::signbit(c.slot_values[slot]))
                << c.label;
        }
    }
}

TEST(jacobian_assembly, a_nonzero_outside_the_system_is_refused) {
    EXPECT_THROW(JacobianAssembly(2, {{0, 0}, {2, 1}}), std::out_of_range);
}

TEST(sparse_lu, factors_regular_matrices_and_refuses_singular_ones) {
    const struct {
        const char* label;
        std::vector<Vector> rows;
        bool regular;
    } cases[] = {
        {"well conditioned", {{4, 1}, {2, 3}}, true},
        {"needs a row exchange", {{0, 1}, {1, 0}}, true},
        {"all zero", {{0, 0}, {0, 0}}, false},
        {"rank one", {{1, 2}, {2, 4}}, false},
        {"singular to round-off", {{1, 1}, {1, 1 + 1e-16}}, false},
        {"condition near 1e15", {{1, 1}, {1, 1 + 2e-15}}, false},
        {"rows of very different sizes", {{1e-16, 0}, {0, 1}}, true},
    };
    for (const auto& c : cases) {
        SparseLu lu(dense_pattern(2));
        const Vector values = column_major(c.rows);
        ASSERT_EQ(lu.factor(values), c.regular) << c.label;
        if (c.regular) {
            // A x = b for x = (1, -2).
            Vector rhs{c.rows[0][0] - 2 * c.rows[0][1], c.rows[1][0] - 2 * c.rows[1][1]};
            lu.solve(rhs);
            EXPECT_NEAR(rhs[0], 1.0, 1e-14) << c.label;
            EXPECT_NEAR(rhs[1], -2.0, 1e-14) << c.label;
        }
    }
}

// A matrix whose pivots go bad between two factorisations with one pattern
// is factored afresh, not refused.
TEST(sparse_lu, refactors_with_fresh_pivots_when_the_old_order_fails) {
    SparseLu lu(dense_pattern(2));
    ASSERT_TRUE(lu.factor(column_major({{1, 1}, {1e-20, 1}})));
    ASSERT_TRUE(lu.factor(column_major({{1e-20, 1}, {1, 1}})));
    Vector rhs{1, 2};
    lu.solve(rhs);
    EXPECT_NEAR(rhs[0], 1.0, 1e-12);
    EXPECT_NEAR(rhs[1], 1.0, 1e-12);
}

TEST(sparse_lu, wrong_sized_input_is_refused) {
    SparseLu lu(dense_pattern(2));
    EXPECT_THROW(lu.factor({1, 2, 3}), std::logic_error);
    EXPECT_THROW(lu.factor({1, 2, 3, 4, 5}), std::logic_error);
    Vector rhs{1, 2};
    EXPECT_THROW(lu.solve(rhs), std::logic_error) << "no factor yet";
    ASSERT_TRUE(lu.factor(column_major({{2, 0}, {0, 2}})));
    Vector short_rhs{1};
    EXPECT_THROW(lu.solve(short_rhs), std::logic_error);
}

// The damped least-squares step: close to Newton's for a regular matrix and
// small damping; finite, and lowering ||F + J p||, for a singular one.
TEST(levenberg_marquardt, steps_towards_the_least_squares_solution) {
    const struct {
        const char* label;
        std::vector<Vector> rows;
        Vector residuals;
        double damping;
        Vector expected;  // empty: only check the decrease
    } cases[] = {
        {"regular, little damping", {{2, 1}, {1, 3}}, {-3, -4}, 1e-12, {1, 1}},
        {"rank one, consistent", {{1, 1}, {2, 2}}, {-2, -4}, 1e-10, {1, 1}},
        {"rank one, inconsistent", {{1, 1}, {1, 1}}, {-1, -3}, 1e-3, {}},
    };
    for (const auto& c : cases) {
        const CompressedColumns pattern = dense_pattern(2);
        LevenbergMarquardt lm(pattern);
        Vector step;
        ASSERT_TRUE(lm.step(column_major(c.rows), {1, 1}, {1, 1}, c.damping, c.residuals, step))
            << c.label;
        if (!c.expected.empty()) {
            EXPECT_NEAR(step[0], c.expected[0], 1e-6) << c.label;
            EXPECT_NEAR(step[1], c.expected[1], 1e-6) << c.label;
        }
        double before = 0.0;
        double after = 0.0;
        for (std::size_t row = 0; row < 2; ++row) {
            const double change = c.rows[row][0] * step[0] + c.rows[row][1] * step[1];
            before += c.residuals[row] * c.residuals[row];
            after += std::pow(c.residuals[row] + change, 2);
        }
        EXPECT_LT(after, before) << c.label;
    }
}

}  // namespace
