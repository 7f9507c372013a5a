#include "structural_matching.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <stdexcept>

#include "btf.h"

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

constexpr int UNREACHED = std::numeric_limits<int>::max();

void match(Matching& matching, int row, int column) {
    matching.column_of_row[at(row)] = column;
    matching.row_of_column[at(column)] = row;
}

// Cheap start: each row takes its first free column.
void match_greedily(const BipartiteGraph& graph, Matching& matching) {
    for (int row = 0; row < graph.rows; ++row) {
        for (const int column : graph.row_columns[at(row)]) {
            if (matching.row_of_column[at(column)] < 0) {
                match(matching, row, column);
                ++matching.size;
                break;
            }
        }
    }
}

// Layers of the alternating forest grown from the free rows; true when some
// free column is reachable, that is, when an augmenting path exists.
bool layer_rows(const BipartiteGraph& graph, const Matching& matching, std::vector<int>& layer) {
    std::deque<int> queue;
    for (int row = 0; row < graph.rows; ++row) {
        layer[at(row)] = matching.column_of_row[at(row)] < 0 ? 0 : UNREACHED;
        if (layer[at(row)] == 0) {
            queue.push_back(row);
        }
    }
    bool free_column_reached = false;
    while (!queue.empty()) {
        const int row = queue.front();
        queue.pop_front();
        for (const int column : graph.row_columns[at(row)]) {
            const int next = matching.row_of_column[at(column)];
            if (next < 0) {
                free_column_reached = true;
            } else if (layer[at(next)] == UNREACHED) {
                layer[at(next)] = layer[at(row)] + 1;
                queue.push_back(next);
            }
        }
    }
    return free_column_reached;
}

// Depth-first search along the layers from free row `root`, with an explicit
// stack; on reaching a free column, flips the path. True when it augmented.
bool augment_from(int root, const BipartiteGraph& graph, Matching& matching,
                  std::vector<int>& layer, std::vector<std::size_t>& next_edge) {
    std::vector<int> path{root};
    while (!path.empty()) {
        const int row = path.back();
        const auto& columns = graph.row_columns[at(row)];
        if (next_edge[at(row)] == columns.size()) {
            layer[at(row)] = UNREACHED;
            path.pop_back();
            continue;
        }
        const int column = columns[next_edge[at(row)]++];
        const int next = matching.row_of_column[at(column)];
        if (next < 0) {
            for (const int on_path : path) {
                match(matching, on_path,
                      graph.row_columns[at(on_path)][next_edge[at(on_path)] - 1]);
            }
            return true;
        }
        if (layer[at(next)] == layer[at(row)] + 1) {
            path.push_back(next);
        }
    }
    return false;
}

// Work arrays that SuiteSparse reads through a pointer even when empty.
std::vector<int> workspace(std::size_t count) {
    return std::vector<int>(std::max<std::size_t>(count, 1));
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

// The rows an equation depends on, as SuiteSparse's compressed columns: row r
// leads to the row matched to each column r uses, in the order r lists its
// columns. Its strongly connected components are the diagonal blocks.
struct RowDependencies {
    std::vector<int> starts;  // row r's list is leads_to[starts[r]] .. leads_to[starts[r + 1] - 1]
    std::vector<int> leads_to;
};

RowDependencies row_dependencies(const BipartiteGraph& graph, const Matching& matching) {
    RowDependencies dependencies;
    dependencies.starts.reserve(at(graph.rows) + 1);
    dependencies.starts.push_back(0);
    std::size_t total = 0;
    for (const auto& columns : graph.row_columns) {
        total += columns.size();
    }
    dependencies.leads_to.reserve(total);
    for (const auto& columns : graph.row_columns) {
        for (const int column : columns) {
            dependencies.leads_to.push_back(matching.row_of_column[at(column)]);
        }
        if (dependencies.leads_to.size() >
            static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            throw std::length_error("too many nonzeros for the block-triangular order");
        }
        dependencies.starts.push_back(static_cast<int>(dependencies.leads_to.size()));
    }
    return dependencies;
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

Matching maximum_matching(const BipartiteGraph& graph) {
    Matching matching{std::vector<int>(at(graph.rows), -1), std::vector<int>(at(graph.columns), -1),
                      0};
    match_greedily(graph, matching);
    std::vector<int> layer(at(graph.rows));
    std::vector<std::size_t> next_edge(at(graph.rows));
    while (layer_rows(graph, matching, layer)) {
        std::fill(next_edge.begin(), next_edge.end(), 0);
        for (int row = 0; row < graph.rows; ++row) {
            if (matching.column_of_row[at(row)] < 0 &&
                augment_from(row, graph, matching, layer, next_edge)) {
                ++matching.size;
            }
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
    RowDependencies dependencies = row_dependencies(graph, matching);
    BlockTriangularOrder order;
    order.rows = workspace(at(size));
    std::vector<int> block_bounds = workspace(at(size) + 1);
    std::vector<int> work = workspace(4 * at(size));
    const int blocks =
        btf_strongcomp(size, dependencies.starts.data(), dependencies.leads_to.data(), nullptr,
                       order.rows.data(), block_bounds.data(), work.data());
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
