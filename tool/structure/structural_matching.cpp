#include "structural_matching.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "btf.h"

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// Adjacency lists in SuiteSparse's compressed-column form: list k is
// indices[starts[k]] .. indices[starts[k + 1] - 1].
struct CompressedLists {
    std::vector<int> starts;
    std::vector<int> indices;
};

CompressedLists compressed(const std::vector<std::vector<int>>& lists) {
    CompressedLists result;
    result.starts.reserve(lists.size() + 1);
    result.starts.push_back(0);
    std::size_t total = 0;
    for (const auto& list : lists) {
        total += list.size();
        if (total > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            throw std::length_error("too many nonzeros for the structural analysis");
        }
        result.starts.push_back(static_cast<int>(total));
    }
    result.indices.reserve(total);
    for (const auto& list : lists) {
        result.indices.insert(result.indices.end(), list.begin(), list.end());
    }
    return result;
}

// Work arrays that SuiteSparse reads through a pointer even when empty.
std::vector<int> workspace(int count) {
    return std::vector<int>(at(std::max(count, 1)));
}

std::vector<int> sorted_members(const std::vector<bool>& marks) {
    std::vector<int> members;
    for (std::size_t index = 0; index < marks.size(); ++index) {
        if (marks[index]) {
            members.push_back(static_cast<int>(index));
        }
    }
    return members;
}

std::vector<std::vector<int>> column_rows(const BipartiteGraph& graph) {
    std::vector<std::vector<int>> rows_of(at(graph.columns));
    for (int row = 0; row < graph.rows; ++row) {
        for (const int column : graph.row_columns[at(row)]) {
            rows_of[at(column)].push_back(row);
        }
    }
    return rows_of;
}

// The rows an equation depends on: row r leads to the row matched to each
// column r uses, in the order r lists its columns. Its strongly connected
// components are the diagonal blocks.
std::vector<std::vector<int>> row_dependencies(const BipartiteGraph& graph,
                                               const Matching& matching) {
    std::vector<std::vector<int>> leads_to(at(graph.rows));
    for (int row = 0; row < graph.rows; ++row) {
        auto& next_rows = leads_to[at(row)];
        next_rows.reserve(graph.row_columns[at(row)].size());
        for (const int column : graph.row_columns[at(row)]) {
            next_rows.push_back(matching.row_of_column[at(column)]);
        }
    }
    return leads_to;
}

}  // namespace

BipartiteGraph::BipartiteGraph(int row_count, int column_count)
    : rows(row_count), columns(column_count), row_columns(at(row_count)) {}

void BipartiteGraph::connect(int row, int column) {
    if (row < 0 || row >= rows || column < 0 || column >= columns) {
        throw std::out_of_range("an edge outside the graph");
    }
    row_columns[at(row)].push_back(column);
}

// The rows' lists of columns are the compressed columns of the transposed
// pattern, so BTF matches each of its columns (our rows) to one of its rows
// (our columns): its Match array is our row_of_column.
Matching maximum_matching(const BipartiteGraph& graph) {
    CompressedLists lists = compressed(graph.row_columns);
    Matching matching{std::vector<int>(at(graph.rows), -1), workspace(graph.columns), 0};
    std::vector<int> work = workspace(5 * graph.rows);
    double work_done = 0;
    const double no_work_limit = 0;  // a limit could stop short of a maximum matching
    matching.size =
        btf_maxtrans(graph.columns, graph.rows, lists.starts.data(), lists.indices.data(),
                     no_work_limit, &work_done, matching.row_of_column.data(), work.data());
    matching.row_of_column.resize(at(graph.columns));
    for (int column = 0; column < graph.columns; ++column) {
        const int row = matching.row_of_column[at(column)];
        if (row >= 0) {
            matching.column_of_row[at(row)] = column;
        }
    }
    return matching;
}

StructuralDefects structural_defects(const BipartiteGraph& graph, const Matching& matching) {
    std::vector<bool> over_rows(at(graph.rows)), over_columns(at(graph.columns));
    std::vector<int> pending;
    for (int row = 0; row < graph.rows; ++row) {
        if (matching.column_of_row[at(row)] < 0) {
            over_rows[at(row)] = true;
            pending.push_back(row);
        }
    }
    while (!pending.empty()) {
        const int row = pending.back();
        pending.pop_back();
        for (const int column : graph.row_columns[at(row)]) {
            const int next = matching.row_of_column[at(column)];
            over_columns[at(column)] = true;
            if (next >= 0 && !over_rows[at(next)]) {
                over_rows[at(next)] = true;
                pending.push_back(next);
            }
        }
    }
    const std::vector<std::vector<int>> rows_of = column_rows(graph);
    std::vector<bool> under_rows(at(graph.rows)), under_columns(at(graph.columns));
    for (int column = 0; column < graph.columns; ++column) {
        if (matching.row_of_column[at(column)] < 0) {
            under_columns[at(column)] = true;
            pending.push_back(column);
        }
    }
    while (!pending.empty()) {
        const int column = pending.back();
        pending.pop_back();
        for (const int row : rows_of[at(column)]) {
            const int next = matching.column_of_row[at(row)];
            under_rows[at(row)] = true;
            if (next >= 0 && !under_columns[at(next)]) {
                under_columns[at(next)] = true;
                pending.push_back(next);
            }
        }
    }
    return {sorted_members(over_rows), sorted_members(over_columns), sorted_members(under_rows),
            sorted_members(under_columns)};
}

// BTF's search for strongly connected components visits rows in ascending
// order, and finishes a component only after every component it leads to, so
// its blocks come out block lower triangular, each block's rows ascending.
// Within a block the rows are then listed last first, so that a simple cycle
// of equations, each using the next one's variable, shows with a single entry
// above the diagonal.
BlockTriangularOrder block_triangular_order(const BipartiteGraph& graph, const Matching& matching) {
    if (graph.rows != graph.columns || matching.size != graph.rows) {
        throw std::logic_error("block triangular order needs a perfectly matched square system");
    }
    const int size = graph.rows;
    CompressedLists leads_to = compressed(row_dependencies(graph, matching));
    BlockTriangularOrder order;
    order.rows = workspace(size);
    std::vector<int> block_bounds = workspace(size + 1);
    std::vector<int> work = workspace(4 * size);
    const int blocks = btf_strongcomp(size, leads_to.starts.data(), leads_to.indices.data(),
                                      nullptr, order.rows.data(), block_bounds.data(), work.data());
    order.rows.resize(at(size));
    order.block_starts.assign(block_bounds.begin(), block_bounds.begin() + blocks);
    for (int block = 0; block < blocks; ++block) {
        std::reverse(order.rows.begin() + block_bounds[at(block)],
                     order.rows.begin() + block_bounds[at(block + 1)]);
    }
    order.columns.reserve(at(size));
    for (const int row : order.rows) {
        order.columns.push_back(matching.column_of_row[at(row)]);
    }
    return order;
}
