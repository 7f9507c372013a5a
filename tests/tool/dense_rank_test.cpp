#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "dense_rank.h"
#include "name_resolver.h"
#include "usage_error.h"

// The rank-revealing factorisation behind dependent-equations, and the one
// resolver of names typed on the command line.
namespace {

DenseMatrix matrix_of(const std::vector<std::vector<double>>& rows) {
    DenseMatrix matrix(rows.size(), rows.front().size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            matrix.at(row, column) = rows[row][column];
        }
    }
    return matrix;
}

TEST(dense_rank, finds_the_smallest_combination_and_ignores_scaling) {
    const struct {
        const char* label;
        std::vector<std::vector<double>> rows;
        std::vector<std::vector<std::size_t>> sets;  // each dependency's rows
    } cases[] = {
        {"independent", {{1, 1}, {1, -1}}, {}},
        {"row 2 = row 0 + row 1, row 3 apart",
         {{1, 1, 1, 0}, {1, -1, 0, 0}, {2, 0, 1, 0}, {0, 0, 0, 5}},
         {{0, 1, 2}}},
        {"a repeated row", {{3, 1, 0}, {0, 1, 1}, {6, 2, 0}}, {{0, 2}}},
        {"x*1e-15 + y and y: badly scaled, not dependent", {{1e-15, 1}, {0, 1}}, {}},
        {"a row of 1e12 times another", {{1e12, 2e12}, {1, 2}}, {{0, 1}}},
        {"a zero row", {{1, 0}, {0, 0}}, {{1}}},
    };
    for (const auto& c : cases) {
        std::vector<std::vector<std::size_t>> sets;
        for (const RowDependency& dependency : dependent_rows(matrix_of(c.rows), 1e-10)) {
            sets.push_back(dependency.rows);
        }
        EXPECT_EQ(sets, c.sets) << c.label;
    }
}

// The weights of each dependency combine its rows, in the matrix's own units,
// to zero; complete pivots count the rank.
TEST(dense_rank, weights_combine_the_rows_to_zero_and_pivots_count_the_rank) {
    const struct {
        const char* label;
        std::vector<std::vector<double>> rows;
        std::size_t rank;
    } cases[] = {
        {"row 2 = row 0 + row 1", {{1, 1, 1}, {1, -1, 0}, {2, 0, 1}}, 2},
        {"a row of 1e12 times another", {{1e12, 2e12}, {1, 2}}, 1},
        {"rows of 1e-6 and 1e6 beside an independent one",
         {{1e-6, 3e-6, 0}, {1e6, 3e6, 0}, {0, 0, 1}},
         2},
        {"more rows than columns", {{1, 0}, {0, 1}, {3, 4}}, 2},
    };
    for (const auto& c : cases) {
        const DenseMatrix matrix = matrix_of(c.rows);
        for (const RowDependency& dependency : dependent_rows(matrix, 1e-10)) {
            ASSERT_EQ(dependency.rows.size(), dependency.weights.size()) << c.label;
            for (std::size_t column = 0; column < matrix.columns; ++column) {
                double sum = 0.0;
                double size = 0.0;
                for (std::size_t k = 0; k < dependency.rows.size(); ++k) {
                    const double term =
                        dependency.weights[k] * matrix.at(dependency.rows[k], column);
                    sum += term;
                    size = std::max(size, std::fabs(term));
                }
                EXPECT_LE(std::fabs(sum), 1e-12 * size) << c.label << ", column " << column;
            }
        }
        EXPECT_EQ(complete_pivots(matrix, 1e-12).size(), c.rank) << c.label;
    }
}

TEST(name_resolver, takes_any_case_when_unique_and_suggests_on_a_miss) {
    const NameResolver resolver({"x", "Flow", "dup", "dup", "Ab", "aB", "bal[1]", "bal[2]"},
                                "variable");
    const struct {
        std::string typed;
        std::vector<std::size_t> found;
    } hits[] = {{"x", {0}}, {"X", {0}}, {"FLOW", {1}}, {"DUP", {2, 3}}, {"aB", {5}}};
    for (const auto& c : hits) {
        EXPECT_EQ(resolver.resolve(c.typed, "--at"), c.found) << c.typed;
    }
    const struct {
        std::string typed;
        std::string message;
    } misses[] = {
        {"ab",
         "--at: 'ab' matches variables Ab or aB but for letter case; type one as the file "
         "writes it"},
        {"flwo", "--at: the model has no variable 'flwo'; did you mean Flow?"},
        {"bal", "--at: the model has no variable 'bal'; did you mean bal[*], Ab or aB?"},
        {"pressure", "--at: the model has no variable 'pressure'"},
    };
    for (const auto& c : misses) {
        try {
            resolver.resolve(c.typed, "--at");
            ADD_FAILURE() << c.typed << " was found";
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

}  // namespace
