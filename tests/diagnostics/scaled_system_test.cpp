#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "scaled_system.h"

// The sparse factorisation behind ill-conditioned and the dependent sets of
// large blocks: a condition estimate that scaling alone does not raise, and
// near-null combinations that name the rows and columns at fault.
namespace {

using Rows = std::vector<std::vector<std::pair<int, double>>>;

JacobianValues jacobian_of(Rows rows) {
    JacobianValues jacobian;
    jacobian.rows = static_cast<int>(rows.size());
    jacobian.columns = jacobian.rows;
    jacobian.row_entries = std::move(rows);
    return jacobian;
}

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

// -T[i-1] + 2 T[i] - T[i+1] on `size` nodes, the first row replaced by a
// copy of row `copied` when that is not -1.
Rows second_differences(int size, int copied) {
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

}  // namespace
