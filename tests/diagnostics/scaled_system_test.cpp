#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "jacobian_rows.h"
#include "scaled_system.h"

// The sparse factorisation behind ill-conditioned and the dependent sets of
// large blocks: a condition estimate that scaling alone does not raise, and
// near-null combinations that name the rows and columns at fault.
namespace {

std::vector<int> identity_order(int size) {
    std::vector<int> order(static_cast<std::size_t>(size));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

double condition_of(const Rows& rows) {
    const JacobianValues jacobian = jacobian_of(rows);
    ScaledSystem system(jacobian, identity_order(jacobian.rows), identity_order(jacobian.rows));
    return system.condition();
}

TEST(scaled_system, estimates_the_condition_after_scaling) {
    const struct {
        const char* label;
        Rows rows;
        double low;
        double high;
    } cases[] = {
        {"the identity", {{{0, 1.0}}, {{1, 1.0}}}, 1, 1},
        {"rows apart by 10^18 scale to the identity", {{{0, 1e9}}, {{1, 1e-9}}}, 1, 1},
        {"x*1e-15 + y and y: badly scaled, well conditioned",
         {{{0, 1e-15}, {1, 1.0}}, {{1, 1.0}}},
         1,
         4},
        {"x + y and x + 1.00000001 y",
         {{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, 1.00000001}}},
         1e8,
         1e9},
        {"two equal rows: singular",
         {{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, 1.0}}},
         INFINITY,
         INFINITY},
        {"second differences on 300 nodes", second_differences(300, -1), 1e4, 1e6},
    };
    for (const auto& c : cases) {
        const double condition = condition_of(c.rows);
        EXPECT_GE(condition, c.low) << c.label;
        EXPECT_LE(condition, c.high) << c.label;
    }
}

// The rows (of_rows) or columns whose weight is at least 1e-3.
std::vector<int> weighed(const Rows& rows, bool of_rows) {
    const JacobianValues jacobian = jacobian_of(rows);
    ScaledSystem system(jacobian, identity_order(jacobian.rows), identity_order(jacobian.rows));
    system.condition();
    const std::vector<double> weights = system.null_weights(of_rows);
    std::vector<int> heavy;
    for (std::size_t index = 0; index < weights.size(); ++index) {
        if (weights[index] >= 1e-3) {
            heavy.push_back(static_cast<int>(index));
        }
    }
    return heavy;
}

TEST(scaled_system, null_weights_name_the_rows_and_columns_at_fault) {
    const struct {
        const char* label;
        Rows rows;
        bool of_rows;
        std::vector<int> heavy;
    } cases[] = {
        // Singular: factored only once moved by its diagonal.
        {"row 0 repeats row 150 of 300", second_differences(300, 150), true, {0, 150}},
        {"two equal rows of three",
         {{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, 1.0}}, {{2, 1.0}}},
         true,
         {0, 1}},
        // x and y enter only as x + y: their columns are what is lost.
        {"columns x and y alike",
         {{{0, 1.0}, {1, 1.0}}, {{0, 2.0}, {1, 2.0}}, {{2, 1.0}}},
         false,
         {0, 1}},
        // Near singular, factored as it is.
        {"x + y and x + 1.00000001 y beside z",
         {{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, 1.00000001}}, {{2, 1.0}}},
         true,
         {0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(weighed(c.rows, c.of_rows), c.heavy) << c.label;
    }
}

// Solves in the Jacobian's own units, whatever the scaling: A x = b and
// A^T y = b checked by multiplying back.
TEST(scaled_system, solves_in_the_jacobians_own_units) {
    const Rows rows{{{0, 1e8}, {1, 2.0}}, {{0, 3e-6}, {1, 4e-9}, {2, 1.0}}, {{1, 5.0}, {2, 6e3}}};
    const JacobianValues jacobian = jacobian_of(rows);
    const std::vector<double> b{1.0, -2.0, 3.0};
    for (const bool transposed : {false, true}) {
        ScaledSystem system(jacobian, identity_order(3), identity_order(3));
        std::vector<double> x = b;
        ASSERT_TRUE(system.solve(x, transposed));
        for (std::size_t i = 0; i < 3; ++i) {
            double product = 0.0;
            double size = 0.0;
            for (std::size_t row = 0; row < 3; ++row) {
                for (const auto& [column, value] : rows[row]) {
                    const std::size_t place = static_cast<std::size_t>(column);
                    const bool counts = transposed ? place == i : row == i;
                    const double term = counts ? value * x[transposed ? row : place] : 0.0;
                    product += term;
                    size = std::max(size, std::fabs(term));
                }
            }
            EXPECT_NEAR(product, b[i], 1e-12 * std::max(size, 1.0))
                << (transposed ? "transposed, " : "") << "row " << i;
        }
    }
    const JacobianValues singular = jacobian_of({{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, 1.0}}});
    ScaledSystem system(singular, identity_order(2), identity_order(2));
    std::vector<double> x{1.0, 2.0};
    EXPECT_FALSE(system.solve(x, false));
    EXPECT_EQ(x, (std::vector<double>{1.0, 2.0}));
}

}  // namespace
