#pragma once

#include <vector>

// The structure of an equation system: which variables (columns) each
// equation (row) uses; numbers from 0.
struct BipartiteGraph {
    int rows = 0;
    int columns = 0;
    std::vector<std::vector<int>> row_columns;

    BipartiteGraph(int row_count, int column_count);
    void connect(int row, int column);
};

// A maximum matching of rows to distinct columns; -1 where unmatched.
struct Matching {
    std::vector<int> column_of_row;
    std::vector<int> row_of_column;
    int size = 0;
};

// Hopcroft and Karp's maximum matching, without recursion. It stays our own
// rather than BTF's maximum transversal, whose depth-first searches took some 50
// times as long on 10^5 randomly coupled equations.
Matching maximum_matching(const BipartiteGraph& graph);

// The Dulmage-Mendelsohn coarse parts that make a system structurally
// singular: the rows and columns reachable by alternating paths from an
// unmatched row (more equations than variables they use), and from an
// unmatched column (variables no equation can determine). Each list ascending.
struct StructuralDefects {
    std::vector<int> overdetermined_rows;
    std::vector<int> overdetermined_columns;
    std::vector<int> underdetermined_rows;
    std::vector<int> underdetermined_columns;
};
StructuralDefects structural_defects(const BipartiteGraph& graph, const Matching& matching);

// Row and column orders that make a square, perfectly matched system block
// lower triangular: each block (strongly connected set of equations, found by
// SuiteSparse BTF) uses only variables of itself and of blocks before it.
// Position i of the orders holds a row and its matched column. The blocks do
// not depend on the matching; their order and the order within a block may.
struct BlockTriangularOrder {
    std::vector<int> rows;
    std::vector<int> columns;
    std::vector<int> block_starts;  // first position of each block
};
BlockTriangularOrder block_triangular_order(const BipartiteGraph& graph, const Matching& matching);
