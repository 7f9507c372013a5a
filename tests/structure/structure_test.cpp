#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "structural_matching.h"

namespace {

using Edges = std::vector<std::pair<int, int>>;  // (row, column)
using Sets = std::vector<std::vector<int>>;

BipartiteGraph graph_of(int size, const Edges& edges) {
    BipartiteGraph graph(size, size);
    for (const auto& [row, column] : edges) {
        graph.connect(row, column);
    }
    return graph;
}

// The rows of each block, each block's rows sorted, blocks in order.
Sets blocks_of(const BlockTriangularOrder& order) {
    Sets blocks;
    for (std::size_t block = 0; block < order.block_starts.size(); ++block) {
        const auto begin = order.rows.begin() + order.block_starts[block];
        const auto end = block + 1 < order.block_starts.size()
                             ? order.rows.begin() + order.block_starts[block + 1]
                             : order.rows.end();
        std::vector<int> rows(begin, end);
        std::sort(rows.begin(), rows.end());
        blocks.push_back(rows);
    }
    return blocks;
}

// Each block uses only its own variables and those of blocks before it: a
// cycle is one block, a chain as many blocks as equations, in the order
// that lets each be solved after the ones it needs.
TEST(block_triangular_order, cycles_are_one_block_and_chains_are_ordered) {
    const struct {
        const char* label;
        int size;
        Edges edges;
        Sets blocks;
        bool ordered;  // false: any order of the blocks will do
    } cases[] = {
        {"a chain, listed backwards",
         3,
         {{2, 2}, {2, 1}, {1, 1}, {1, 0}, {0, 0}},
         {{0}, {1}, {2}},
         true},
        {"a cycle of three",
         3,
         {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}},
         {{0, 1, 2}},
         true},
        {"a cycle of two feeding one",
         3,
         {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 2}, {2, 1}},
         {{0, 1}, {2}},
         true},
        // Row 0 reaches row 2 through row 1 and back through a later edge:
        // the back edge's index must lower row 0's link.
        {"a cycle closed by a back edge",
         4,
         {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}, {3, 3}, {3, 2}},
         {{0, 1, 2}, {3}},
         true},
        {"independent equations", 2, {{0, 0}, {1, 1}}, {{0}, {1}}, false},
    };
    for (const auto& c : cases) {
        const BipartiteGraph graph = graph_of(c.size, c.edges);
        const Matching matching = maximum_matching(graph);
        ASSERT_EQ(matching.size, c.size) << c.label;
        const BlockTriangularOrder order = block_triangular_order(graph, matching);
        Sets blocks = blocks_of(order);
        if (!c.ordered) {
            std::sort(blocks.begin(), blocks.end());
        }
        EXPECT_EQ(blocks, c.blocks) << c.label;
        // Each position pairs a row with its matched column.
        for (std::size_t position = 0; position < order.rows.size(); ++position) {
            EXPECT_EQ(matching.column_of_row[static_cast<std::size_t>(order.rows[position])],
                      order.columns[position])
                << c.label;
        }
    }
}

TEST(structural_defects, name_the_equations_and_variables_at_fault) {
    const struct {
        const char* label;
        int size;
        Edges edges;
        int matched;
        std::vector<int> overdetermined_rows;
        std::vector<int> underdetermined_columns;
    } cases[] = {
        {"two equations in x alone, y in none", 2, {{0, 0}, {1, 0}}, 1, {0, 1}, {1}},
        {"an equation without variables", 2, {{0, 0}, {0, 1}}, 1, {1}, {0, 1}},
        {"a regular chain", 3, {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}}, 3, {}, {}},
    };
    for (const auto& c : cases) {
        const BipartiteGraph graph = graph_of(c.size, c.edges);
        const Matching matching = maximum_matching(graph);
        EXPECT_EQ(matching.size, c.matched) << c.label;
        const StructuralDefects defects = structural_defects(graph, matching);
        EXPECT_EQ(defects.overdetermined_rows, c.overdetermined_rows) << c.label;
        EXPECT_EQ(defects.underdetermined_columns, c.underdetermined_columns) << c.label;
    }
}

}  // namespace
