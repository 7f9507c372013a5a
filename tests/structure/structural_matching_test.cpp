#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "structural_matching.h"

// Matchings, block-triangular orders and structural defects checked against
// what defines them, not against how they are computed: a valid matching with
// no augmenting path is maximum; an order is right when every equation uses
// only variables of its own block and earlier ones, and its blocks are the
// strongly connected sets found here by plain reachability.
namespace {

using Edges = std::vector<std::pair<int, int>>;  // row, column
using Sets = std::set<std::set<int>>;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

BipartiteGraph graph_of(int rows, int columns, const Edges& edges) {
    BipartiteGraph graph(rows, columns);
    for (const auto& [row, column] : edges) {
        graph.connect(row, column);
    }
    return graph;
}

// The same edges with each row's columns listed the other way round, which
// leads a matching algorithm to a different maximum matching.
BipartiteGraph reversed_lists(BipartiteGraph graph) {
    for (auto& columns : graph.row_columns) {
        std::reverse(columns.begin(), columns.end());
    }
    return graph;
}

bool has_edge(const BipartiteGraph& graph, int row, int column) {
    const auto& columns = graph.row_columns[at(row)];
    return std::find(columns.begin(), columns.end(), column) != columns.end();
}

// Every pair is an edge, the two directions agree, and the size counts them.
void expect_valid(const BipartiteGraph& graph, const Matching& matching) {
    ASSERT_EQ(matching.column_of_row.size(), at(graph.rows));
    ASSERT_EQ(matching.row_of_column.size(), at(graph.columns));
    int pairs = 0;
    for (int row = 0; row < graph.rows; ++row) {
        const int column = matching.column_of_row[at(row)];
        if (column >= 0) {
            ++pairs;
            EXPECT_TRUE(has_edge(graph, row, column)) << "row " << row << " column " << column;
            EXPECT_EQ(matching.row_of_column[at(column)], row) << "column " << column;
        }
    }
    for (int column = 0; column < graph.columns; ++column) {
        const int row = matching.row_of_column[at(column)];
        if (row >= 0) {
            EXPECT_EQ(matching.column_of_row[at(row)], column) << "row " << row;
        }
    }
    EXPECT_EQ(matching.size, pairs);
}

// Berge: a matching is maximum when no alternating path leads from a free
// row to a free column.
bool has_augmenting_path(const BipartiteGraph& graph, const Matching& matching) {
    std::vector<bool> seen(at(graph.rows));
    std::vector<int> pending;
    for (int row = 0; row < graph.rows; ++row) {
        if (matching.column_of_row[at(row)] < 0) {
            seen[at(row)] = true;
            pending.push_back(row);
        }
    }
    while (!pending.empty()) {
        const int row = pending.back();
        pending.pop_back();
        for (const int column : graph.row_columns[at(row)]) {
            const int next = matching.row_of_column[at(column)];
            if (next < 0) {
                return true;
            }
            if (!seen[at(next)]) {
                seen[at(next)] = true;
                pending.push_back(next);
            }
        }
    }
    return false;
}

// The strongly connected sets of equations, from the transitive closure of
// "row r uses the variable matched to row s" under the given perfect matching.
Sets strongly_connected_rows(const BipartiteGraph& graph, const std::vector<int>& row_of_column) {
    const std::size_t size = at(graph.rows);
    std::vector<std::vector<bool>> reaches(size, std::vector<bool>(size));
    for (std::size_t row = 0; row < size; ++row) {
        reaches[row][row] = true;
        for (const int column : graph.row_columns[row]) {
            reaches[row][at(row_of_column[at(column)])] = true;
        }
    }
    for (std::size_t via = 0; via < size; ++via) {
        for (std::size_t from = 0; from < size; ++from) {
            for (std::size_t to = 0; to < size; ++to) {
                if (reaches[from][via] && reaches[via][to]) {
                    reaches[from][to] = true;
                }
            }
        }
    }
    Sets components;
    for (std::size_t row = 0; row < size; ++row) {
        std::set<int> component;
        for (std::size_t other = 0; other < size; ++other) {
            if (reaches[row][other] && reaches[other][row]) {
                component.insert(static_cast<int>(other));
            }
        }
        components.insert(component);
    }
    return components;
}

std::vector<int> positions_of(const std::vector<int>& order) {
    std::vector<int> position(order.size(), -1);
    for (std::size_t index = 0; index < order.size(); ++index) {
        position[at(order[index])] = static_cast<int>(index);
    }
    return position;
}

// The order's rows and columns are permutations that keep each row with its
// matched column, each row uses only columns up to the end of its block, and
// the blocks are the given sets of rows.
void expect_block_lower_triangular(const BipartiteGraph& graph, const Matching& matching,
                                   const BlockTriangularOrder& order, const Sets& blocks) {
    const int size = graph.rows;
    ASSERT_EQ(order.rows.size(), at(size));
    ASSERT_EQ(order.columns.size(), at(size));
    std::vector<int> sorted_rows = order.rows, sorted_columns = order.columns;
    std::sort(sorted_rows.begin(), sorted_rows.end());
    std::sort(sorted_columns.begin(), sorted_columns.end());
    for (int index = 0; index < size; ++index) {
        ASSERT_EQ(sorted_rows[at(index)], index) << "rows are not a permutation";
        ASSERT_EQ(sorted_columns[at(index)], index) << "columns are not a permutation";
        EXPECT_EQ(order.columns[at(index)], matching.column_of_row[at(order.rows[at(index)])]);
    }
    ASSERT_EQ(order.block_starts.empty(), size == 0);
    ASSERT_TRUE(std::is_sorted(order.block_starts.begin(), order.block_starts.end()));
    std::vector<int> block_end(at(size));
    Sets found;
    for (std::size_t block = 0; block < order.block_starts.size(); ++block) {
        const int first = order.block_starts[block];
        const int end =
            block + 1 < order.block_starts.size() ? order.block_starts[block + 1] : size;
        ASSERT_LT(first, end) << "empty block " << block;
        if (block == 0) {
            EXPECT_EQ(first, 0);
        }
        std::set<int> rows;
        for (int position = first; position < end; ++position) {
            block_end[at(position)] = end;
            rows.insert(order.rows[at(position)]);
        }
        found.insert(rows);
    }
    EXPECT_EQ(found, blocks);
    const std::vector<int> column_position = positions_of(order.columns);
    for (int position = 0; position < size; ++position) {
        const int row = order.rows[at(position)];
        for (const int column : graph.row_columns[at(row)]) {
            EXPECT_LT(column_position[at(column)], block_end[at(position)])
                << "row " << row << " uses column " << column << " of a later block";
        }
    }
}

struct MatchingCase {
    const char* label;
    int rows;
    int columns;
    Edges edges;
    int size;  // the structural rank
};

TEST(maximum_matching, finds_the_structural_rank) {
    const std::vector<MatchingCase> cases{
        {"empty", 0, 0, {}, 0},
        {"no edges", 2, 3, {}, 0},
        {"diagonal", 3, 3, {{0, 0}, {1, 1}, {2, 2}}, 3},
        {"cycle", 3, 3, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}}, 3},
        // Taking first free columns leaves row 2 without one: only moving
        // rows 0 and 1 along an augmenting path makes room.
        {"greedy start falls short", 3, 3, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 0}}, 3},
        {"three rows share two columns", 3, 2, {{0, 0}, {1, 0}, {1, 1}, {2, 1}}, 2},
        {"wide", 2, 4, {{0, 3}, {1, 3}, {1, 0}}, 2},
        {"tall", 4, 2, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}, 2},
        {"empty row and column", 3, 3, {{0, 0}, {0, 1}, {2, 1}}, 2},
        {"duplicate edges", 2, 2, {{0, 0}, {0, 0}, {1, 0}, {1, 0}}, 1},
        {"long augmenting path",
         5,
         5,
         {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 3}, {3, 4}, {4, 0}},
         5},
    };
    for (const MatchingCase& c : cases) {
        SCOPED_TRACE(c.label);
        const BipartiteGraph graph = graph_of(c.rows, c.columns, c.edges);
        const Matching matching = maximum_matching(graph);
        expect_valid(graph, matching);
        EXPECT_EQ(matching.size, c.size);
        EXPECT_FALSE(has_augmenting_path(graph, matching));
    }
}

TEST(maximum_matching, is_maximum_on_random_rectangular_graphs) {
    std::mt19937 random(12);
    for (int trial = 0; trial < 300; ++trial) {
        const int rows = std::uniform_int_distribution<int>(0, 9)(random);
        const int columns = std::uniform_int_distribution<int>(0, 9)(random);
        BipartiteGraph graph(rows, columns);
        std::bernoulli_distribution present(0.25);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                if (present(random)) {
                    graph.connect(row, column);
                }
            }
        }
        SCOPED_TRACE("trial " + std::to_string(trial));
        const Matching matching = maximum_matching(graph);
        expect_valid(graph, matching);
        EXPECT_FALSE(has_augmenting_path(graph, matching));
    }
}

TEST(bipartite_graph, refuses_edges_outside_it) {
    BipartiteGraph graph(2, 3);
    for (const auto& [row, column] : Edges{{-1, 0}, {2, 0}, {0, -1}, {0, 3}}) {
        EXPECT_THROW(graph.connect(row, column), std::out_of_range) << row << ", " << column;
    }
}

struct OrderCase {
    const char* label;
    int size;
    Edges edges;
    Sets blocks;
};

TEST(block_triangular_order, finds_the_strongly_connected_blocks_in_order) {
    const std::vector<OrderCase> cases{
        {"empty", 0, {}, {}},
        {"one equation", 1, {{0, 0}}, {{0}}},
        {"diagonal", 3, {{0, 0}, {1, 1}, {2, 2}}, {{0}, {1}, {2}}},
        // Each equation uses the variable of the one before: 4 blocks, and
        // only the file's order is lower triangular.
        {"chain downward",
         4,
         {{0, 0}, {1, 1}, {1, 0}, {2, 2}, {2, 1}, {3, 3}, {3, 2}},
         {{0}, {1}, {2}, {3}}},
        // Each uses the variable of the one after: the reverse order.
        {"chain upward",
         4,
         {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 3}},
         {{0}, {1}, {2}, {3}}},
        {"cycle", 3, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}}, {{0, 1, 2}}},
        {"cycle through a longer path",
         5,
         {{0, 0}, {0, 3}, {1, 1}, {1, 0}, {2, 2}, {2, 4}, {3, 3}, {3, 2}, {4, 4}, {4, 1}},
         {{0, 1, 2, 3, 4}}},
        // Rows 3 and 0 form one cycle, rows 1 and 2 another that uses it,
        // and row 4 uses both.
        {"two cycles and a row using them",
         5,
         {{0, 0},
          {0, 3},
          {3, 3},
          {3, 0},
          {1, 1},
          {1, 2},
          {2, 2},
          {2, 1},
          {2, 3},
          {4, 4},
          {4, 0},
          {4, 1}},
         {{0, 3}, {1, 2}, {4}}},
        {"matching off the diagonal", 3, {{0, 2}, {1, 0}, {1, 2}, {2, 1}, {2, 0}}, {{0}, {1}, {2}}},
        // Each equation shares a variable with each other one: whichever
        // matching, they form one cycle.
        {"every row sharing", 3, {{0, 0}, {0, 1}, {1, 0}, {1, 2}, {2, 1}, {2, 2}}, {{0, 1, 2}}},
        {"duplicate edges",
         3,
         {{0, 0}, {0, 1}, {0, 1}, {1, 1}, {1, 0}, {1, 0}, {2, 2}, {2, 2}},
         {{0, 1}, {2}}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.label);
        for (const BipartiteGraph& graph : {graph_of(c.size, c.size, c.edges),
                                            reversed_lists(graph_of(c.size, c.size, c.edges))}) {
            const Matching matching = maximum_matching(graph);
            ASSERT_EQ(matching.size, c.size);
            expect_block_lower_triangular(graph, matching, block_triangular_order(graph, matching),
                                          c.blocks);
        }
    }
}

// A square graph with a perfect matching planted on a random permutation,
// then random edges more.
BipartiteGraph random_square(std::mt19937& random, int size, std::vector<int>& planted_row_of) {
    planted_row_of.resize(at(size));
    for (int column = 0; column < size; ++column) {
        planted_row_of[at(column)] = column;
    }
    std::shuffle(planted_row_of.begin(), planted_row_of.end(), random);
    BipartiteGraph graph(size, size);
    std::bernoulli_distribution present(0.2);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            if (planted_row_of[at(column)] == row || present(random)) {
                graph.connect(row, column);
            }
        }
    }
    return graph;
}

TEST(block_triangular_order, matches_reachability_on_random_graphs) {
    std::mt19937 random(2026);
    for (int trial = 0; trial < 300; ++trial) {
        const int size = std::uniform_int_distribution<int>(1, 10)(random);
        std::vector<int> planted_row_of;
        const BipartiteGraph graph = random_square(random, size, planted_row_of);
        SCOPED_TRACE("trial " + std::to_string(trial));
        const Matching matching = maximum_matching(graph);
        ASSERT_EQ(matching.size, size);
        expect_block_lower_triangular(graph, matching, block_triangular_order(graph, matching),
                                      strongly_connected_rows(graph, planted_row_of));
    }
}

// The spy picture lists a simple cycle's equations last first, so that only
// the entry closing the cycle lies above the diagonal.
TEST(block_triangular_order, lists_a_simple_cycle_last_first) {
    const BipartiteGraph graph = graph_of(3, 3, {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 0}});
    const BlockTriangularOrder order = block_triangular_order(graph, maximum_matching(graph));
    EXPECT_EQ(order.rows, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(order.columns, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(order.block_starts, std::vector<int>{0});
}

TEST(block_triangular_order, refuses_what_is_not_perfectly_matched) {
    const std::vector<std::pair<const char*, BipartiteGraph>> cases{
        {"structurally singular", graph_of(2, 2, {{0, 0}, {1, 0}})},
        {"not square", graph_of(1, 2, {{0, 0}, {0, 1}})},
    };
    for (const auto& [label, graph] : cases) {
        EXPECT_THROW(block_triangular_order(graph, maximum_matching(graph)), std::logic_error)
            << label;
    }
}

struct DefectCase {
    const char* label;
    int rows;
    int columns;
    Edges edges;
    StructuralDefects defects;
};

void expect_defects(const StructuralDefects& found, const StructuralDefects& expected) {
    EXPECT_EQ(found.overdetermined_rows, expected.overdetermined_rows);
    EXPECT_EQ(found.overdetermined_columns, expected.overdetermined_columns);
    EXPECT_EQ(found.underdetermined_rows, expected.underdetermined_rows);
    EXPECT_EQ(found.underdetermined_columns, expected.underdetermined_columns);
}

TEST(structural_defects, names_the_over_and_underdetermined_sets) {
    const std::vector<DefectCase> cases{
        {"nonsingular", 3, 3, {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}}, {}},
        // Three equations in x and y; z and w left to one equation.
        {"both parts",
         4,
         4,
         {{0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 2}, {3, 3}},
         {{0, 1, 2}, {0, 1}, {3}, {2, 3}}},
        // Row 2 uses column 2, which nothing else uses: it is in no set,
        // while rows 0 and 1 compete for column 0 wherever they are listed.
        {"overdetermined only", 3, 3, {{2, 2}, {0, 0}, {1, 0}, {1, 0}}, {{0, 1}, {0}, {}, {1}}},
        {"an equation using nothing", 2, 2, {{0, 0}, {0, 1}}, {{1}, {}, {0}, {0, 1}}},
        {"a variable no equation uses", 2, 3, {{0, 0}, {1, 1}, {1, 0}}, {{}, {}, {}, {2}}},
        // The surplus column of a wide system shows as underdetermined.
        {"one equation in two variables", 1, 2, {{0, 0}, {0, 1}}, {{}, {}, {0}, {0, 1}}},
        {"two equations in one variable", 2, 1, {{0, 0}, {1, 0}}, {{0, 1}, {0}, {}, {}}},
        // Rows 0 and 1 determine columns 0 and 1; row 2 has columns 2 and 4
        // to choose from, while rows 3 and 4 both need column 3.
        {"a fine part beside a faulty one",
         5,
         5,
         {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}, {3, 3}, {4, 3}, {4, 3}, {2, 4}},
         {{3, 4}, {3}, {2}, {2, 4}}},
    };
    for (const DefectCase& c : cases) {
        SCOPED_TRACE(c.label);
        // The sets depend on the graph only, not on which maximum matching
        // was found, so listing each row's columns the other way round must
        // not change them.
        for (const BipartiteGraph& graph : {graph_of(c.rows, c.columns, c.edges),
                                            reversed_lists(graph_of(c.rows, c.columns, c.edges))}) {
            expect_defects(structural_defects(graph, maximum_matching(graph)), c.defects);
        }
    }
}

}  // namespace
