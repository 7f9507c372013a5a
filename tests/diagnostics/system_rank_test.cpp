#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "jacobian_rows.h"
#include "system_rank.h"

// The numerical rank of a system and what it lacks: the sets of equations
// that add nothing, the directions in which the unknowns move freely, told
// apart from the system's shape.
namespace {

double value_at(const JacobianValues& jacobian, int row, int column) {
    double value = 0.0;
    for (const auto& [entry_column, entry] : jacobian.row_entries[static_cast<std::size_t>(row)]) {
        value += entry_column == column ? entry : 0.0;
    }
    return value;
}

// The combination a set or a direction names must vanish: every column of
// the weighted rows, every row of the weighted columns.
void expect_null(const JacobianValues& jacobian, const SystemRank& rank, const char* label) {
    const auto sets = {&rank.surplus, &rank.dependent};
    for (const std::vector<DependentSet>* list : sets) {
        for (const DependentSet& set : *list) {
            for (int column = 0; column < jacobian.columns; ++column) {
                double sum = 0.0;
                for (const auto& [row, weight] : set.combination) {
                    sum += weight * value_at(jacobian, row, column);
                }
                EXPECT_NEAR(sum, 0.0, 1e-9) << label << ", column " << column;
            }
        }
    }
    const auto directions = {&rank.freedom, &rank.free};
    for (const std::vector<NullDirection>* list : directions) {
        for (const NullDirection& direction : *list) {
            for (int row = 0; row < jacobian.rows; ++row) {
                double sum = 0.0;
                for (std::size_t k = 0; k < direction.columns.size(); ++k) {
                    sum += direction.weights[k] * value_at(jacobian, row, direction.columns[k]);
                }
                EXPECT_NEAR(sum, 0.0, 1e-9) << label << ", row " << row;
            }
        }
    }
}

template <typename Set>
std::vector<std::vector<int>> members_of(const std::vector<Set>& sets, std::vector<int> Set::*of) {
    std::vector<std::vector<int>> all;
    for (const Set& set : sets) {
        all.push_back(set.*of);
    }
    return all;
}

TEST(system_rank, finds_what_the_system_lacks_beyond_its_shape) {
    const struct {
        const char* label;
        Rows rows;
        int columns;
        int rank;
        std::vector<std::vector<int>> surplus;  // rows of each set
        std::vector<std::vector<int>> freedom;  // columns of each direction
        std::vector<std::vector<int>> dependent;
        std::vector<std::vector<int>> free;
        int lost_to_zeros;
    } cases[] = {
        {"regular", {{{0, 1.0}, {1, 1.0}}, {{0, 1.0}, {1, -1.0}}}, 2, 2, {}, {}, {}, {}, 0},
        {"x + y twice: one row adds nothing, x and y move against each other",
         {{{0, 1.0}, {1, 1.0}}, {{0, 2.0}, {1, 2.0}}},
         2,
         1,
         {},
         {},
         {{0, 1}},
         {{0, 1}},
         0},
        {"rows apart by 10^12 in scale are still dependent",
         {{{0, 1e6}, {1, 1e6}}, {{0, 1e-6}, {1, 1e-6}}, {{2, 1.0}}},
         3,
         2,
         {},
         {},
         {{0, 1}},
         {{0, 1}},
         0},
        {"one equation too many: x, y, and x + y",
         {{{0, 1.0}}, {{1, 1.0}}, {{0, 1.0}, {1, 1.0}}},
         2,
         2,
         {{0, 1, 2}},
         {},
         {},
         {},
         0},
        // The matching leaves d over; the numbers say a or b.
        {"one too many, the dependence away from what the matching leaves over",
         {{{0, 1.0}, {1, 1.0}}, {{0, 2.0}, {1, 2.0}}, {{2, 1.0}}, {{0, 1.0}, {1, -1.0}}},
         3,
         3,
         {{0, 1}},
         {},
         {},
         {},
         0},
        // The matching leaves z free, which a and b determine.
        {"one unknown too many, z determined: x and y move",
         {{{0, 1.0}, {1, 1.0}, {2, 1.0}}, {{0, 1.0}, {1, 1.0}, {2, -1.0}}},
         3,
         2,
         {},
         {{0, 1}},
         {},
         {},
         0},
        {"an unknown no equation uses", {{{0, 1.0}}}, 2, 1, {}, {{1}}, {}, {}, 0},
        // Pressures around a loop float (its pipe block is singular alone),
        // and the balances repeat the supply (their block too); the pipes'
        // flow terms join the two blocks into one rank lost, not two.
        {"two singular diagonal blocks that lose one rank together",
         {{{0, 1.0}, {1, -1.0}, {3, -2.0}},
          {{1, 1.0}, {2, -1.0}, {4, -3.0}},
          {{0, 1.0}, {2, -1.0}, {5, -4.0}},
          {{3, -1.0}, {5, -1.0}, {6, 1.0}},
          {{3, 1.0}, {4, -1.0}},
          {{4, 1.0}, {5, 1.0}},
          {{6, 1.0}}},
         7,
         6,
         {},
         {},
         {{3, 4, 5, 6}},
         {{0, 1, 2}},
         0},
        {"a derivative 0 at the point: the matching of values falls short",
         {{{0, 1.0}}, {{0, 1.0}, {1, 0.0}}},
         2,
         1,
         {},
         {},
         {{0, 1}},
         {{1}},
         1},
        {"a block of 300 whose first row repeats row 150",
         second_differences(300, 150),
         300,
         299,
         {},
         {},
         {{0, 150}},
         {{0, 1, 2}},
         0},
    };
    for (const auto& c : cases) {
        const JacobianValues jacobian = jacobian_of(c.rows, c.columns);
        const SystemRank rank = system_rank(jacobian, all_rows(jacobian), all_columns(jacobian));
        EXPECT_EQ(rank.rank, c.rank) << c.label;
        EXPECT_TRUE(rank.complete) << c.label;
        EXPECT_EQ(members_of(rank.surplus, &DependentSet::rows), c.surplus) << c.label;
        EXPECT_EQ(members_of(rank.freedom, &NullDirection::columns), c.freedom) << c.label;
        EXPECT_EQ(members_of(rank.dependent, &DependentSet::rows), c.dependent) << c.label;
        if (c.free.empty() || c.free.front().size() < 3) {
            EXPECT_EQ(members_of(rank.free, &NullDirection::columns), c.free) << c.label;
        }
        EXPECT_EQ(rank.lost_to_zeros, c.lost_to_zeros) << c.label;
        expect_null(jacobian, rank, c.label);
    }
}

TEST(system_rank, takes_the_system_it_is_given) {
    // x + y twice and z: without the second row the system is regular in
    // x and z once y is held.
    const JacobianValues jacobian =
        jacobian_of({{{0, 1.0}, {1, 1.0}}, {{0, 2.0}, {1, 2.0}}, {{2, 1.0}}}, 3);
    const SystemRank whole = system_rank(jacobian, all_rows(jacobian), all_columns(jacobian));
    EXPECT_EQ(whole.shortfall(), 1);
    const SystemRank chosen = system_rank(jacobian, {0, 2}, {0, 2});
    EXPECT_EQ(chosen.shortfall(), 0);
    EXPECT_EQ(chosen.rank, 2);
}

}  // namespace
