#include "dependence_checks.h"

#include <algorithm>
#include <cmath>

#include "dense_rank.h"
#include "structural_matching.h"
#include "system_names.h"

namespace {

// Diagonal blocks up to this size get the dense rank-revealing
// factorisation; from larger ones, at most this many candidate rows do.
constexpr std::size_t DENSE_LIMIT = 200;
// A row adding less than this share of the first row's size (after scaling
// rows and columns to 1) depends on the others: the counterpart of the
// singularity policy's threshold (singularity.h), which a block's condition
// estimate must exceed for its rows to be searched.
constexpr double DEPENDENCE_TOLERANCE = 1 / SINGULAR_CONDITION;
// 1/sqrt(epsilon): beyond it a Newton step keeps fewer than half the digits
// of double precision.
constexpr double ILL_CONDITION = 67108864.0;
// Rows weighing at least this share of the largest in a block's near-null
// combination are the candidates for its dependent set.
constexpr double CANDIDATE_SHARE = 1e-6;
// Equations and variables weighing at least this share of the largest in
// the near-null combinations are named as the most involved.
constexpr double INVOLVED_SHARE = 0.1;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

struct Block {
    std::vector<int> rows;
    std::vector<int> columns;  // position k matched to rows[k]
    std::vector<int> sorted_columns;
};

// The diagonal blocks of two or more equations of the part's block-triangular
// form, in host numbers (a block of one has a nonzero matched value).
std::vector<Block> diagonal_blocks(const JacobianValues& jacobian, const std::vector<int>& rows,
                                   const std::vector<int>& columns) {
    const auto size = static_cast<int>(rows.size());
    std::vector<int> position_of(at(jacobian.columns), -1);
    for (int k = 0; k < size; ++k) {
        position_of[at(columns[at(k)])] = k;
    }
    BipartiteGraph graph(size, size);
    Matching matching;
    for (int k = 0; k < size; ++k) {
        for (const auto& [column, value] : jacobian.row_entries[at(rows[at(k)])]) {
            if (value != 0.0 && position_of[at(column)] >= 0) {
                graph.connect(k, position_of[at(column)]);
            }
        }
        matching.column_of_row.push_back(k);
        matching.row_of_column.push_back(k);
    }
    matching.size = size;
    const BlockTriangularOrder order = block_triangular_order(graph, matching);
    std::vector<Block> blocks;
    for (std::size_t block = 0; block < order.block_starts.size(); ++block) {
        const std::size_t start = at(order.block_starts[block]);
        const std::size_t end = block + 1 < order.block_starts.size()
                                    ? at(order.block_starts[block + 1])
                                    : order.rows.size();
        if (end - start < 2) {
            continue;
        }
        Block found;
        for (std::size_t position = start; position < end; ++position) {
            found.rows.push_back(rows[at(order.rows[position])]);
            found.columns.push_back(columns[at(order.columns[position])]);
        }
        found.sorted_columns = found.columns;
        std::sort(found.sorted_columns.begin(), found.sorted_columns.end());
        blocks.push_back(std::move(found));
    }
    return blocks;
}

bool in_block(const Block& block, int column) {
    return std::binary_search(block.sorted_columns.begin(), block.sorted_columns.end(), column);
}

// The columns of `block` that `rows` use, ascending; in time of their
// entries, not of the model's size, since a model may have many blocks.
std::vector<int> columns_used(const JacobianValues& jacobian, const std::vector<int>& rows,
                              const Block& block) {
    std::vector<int> columns;
    for (const int row : rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value != 0.0 && in_block(block, column)) {
                columns.push_back(column);
            }
        }
    }
    return joined(columns, {});
}

// The rows of `block` that use `columns` (ascending).
std::vector<int> rows_using(const JacobianValues& jacobian, const std::vector<int>& columns,
                            const Block& block) {
    std::vector<int> rows;
    for (const int row : block.rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value != 0.0 && std::binary_search(columns.begin(), columns.end(), column)) {
                rows.push_back(row);
                break;
            }
        }
    }
    return joined(rows, {});
}

// The rows × columns of the Jacobian, dense.
DenseMatrix dense_part(const JacobianValues& jacobian, const std::vector<int>& rows,
                       const std::vector<int>& columns) {
    DenseMatrix matrix(rows.size(), columns.size());
    for (std::size_t index = 0; index < rows.size(); ++index) {
        for (const auto& [column, value] : jacobian.row_entries[at(rows[index])]) {
            const auto found = std::lower_bound(columns.begin(), columns.end(), column);
            if (found != columns.end() && *found == column) {
                matrix.at(index, static_cast<std::size_t>(found - columns.begin())) = value;
            }
        }
    }
    return matrix;
}

// Positions of `weights` at or above `share` (of the largest, 1), heaviest
// first, at most `limit`.
std::vector<std::size_t> heaviest(const std::vector<double>& weights, double share,
                                  std::size_t limit) {
    std::vector<std::size_t> positions;
    for (std::size_t index = 0; index < weights.size(); ++index) {
        if (weights[index] >= share) {
            positions.push_back(index);
        }
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [&](std::size_t a, std::size_t b) { return weights[a] > weights[b]; });
    positions.resize(std::min(positions.size(), limit));
    return positions;
}

std::vector<int> picked(const std::vector<int>& entries,
                        const std::vector<std::size_t>& positions) {
    std::vector<int> chosen;
    for (const std::size_t position : positions) {
        chosen.push_back(entries[position]);
    }
    return chosen;
}

// The rank lost among `rows` × `columns` of a block (both ascending, each at
// most DENSE_LIMIT): the dependent rows, each paired with a dependent column
// (or, when the columns show fewer, the column matched to the row).
void add_lost(const JacobianValues& jacobian, const Block& block, const std::vector<int>& rows,
              const std::vector<int>& columns, std::vector<std::pair<int, int>>& lost) {
    const DenseMatrix part = dense_part(jacobian, rows, columns);
    const std::vector<RowDependency> dependent = dependent_rows(part, DEPENDENCE_TOLERANCE);
    if (dependent.empty()) {
        return;
    }
    const std::vector<RowDependency> moving = dependent_columns(part, DEPENDENCE_TOLERANCE);
    for (std::size_t index = 0; index < dependent.size(); ++index) {
        const int row = rows[dependent[index].row];
        int column = -1;
        if (index < moving.size()) {
            column = columns[moving[index].row];
        } else {
            const auto place = std::find(block.rows.begin(), block.rows.end(), row);
            column = block.columns[static_cast<std::size_t>(place - block.rows.begin())];
        }
        lost.emplace_back(row, column);
    }
}

// A large block: when its sparse LU finds it (near) singular, the rows and
// columns its near-null combinations weigh are the candidates.
void add_lost_in_large_block(const JacobianValues& jacobian, const Block& block,
                             std::vector<std::pair<int, int>>& lost) {
    ScaledSystem system(jacobian, block.rows, block.columns);
    if (system.condition() <= SINGULAR_CONDITION) {
        return;
    }
    std::vector<int> rows =
        picked(block.rows, heaviest(system.null_weights(true), CANDIDATE_SHARE, DENSE_LIMIT));
    std::vector<int> columns =
        picked(block.columns, heaviest(system.null_weights(false), CANDIDATE_SHARE, DENSE_LIMIT));
    rows = joined(rows, {});
    columns = joined(columns, {});
    // The candidate rows with every block column they use, and the candidate
    // columns with every block row that uses them, so that a dependence
    // among them is one of the whole block.
    std::vector<std::pair<int, int>> by_rows;
    add_lost(jacobian, block, rows, columns_used(jacobian, rows, block), by_rows);
    std::vector<std::pair<int, int>> by_columns;
    add_lost(jacobian, block, rows_using(jacobian, columns, block), columns, by_columns);
    for (std::size_t index = 0; index < by_rows.size(); ++index) {
        lost.emplace_back(by_rows[index].first, index < by_columns.size() ? by_columns[index].second
                                                                          : by_rows[index].second);
    }
}

}  // namespace

double SquareRank::singular_condition() {
    return SINGULAR_CONDITION;
}

double SquareRank::ill_condition() {
    return ILL_CONDITION;
}

SquareRank square_rank(const JacobianValues& jacobian, const std::vector<int>& rows,
                       const std::vector<int>& columns) {
    SquareRank rank;
    const std::vector<Block> blocks = diagonal_blocks(jacobian, rows, columns);
    for (const Block& block : blocks) {
        if (block.rows.size() <= DENSE_LIMIT) {
            add_lost(jacobian, block, joined(block.rows, {}), block.sorted_columns, rank.lost);
        }
    }
    rank.system = std::make_unique<ScaledSystem>(jacobian, rows, columns);
    rank.condition = rank.system->condition();
    if (rank.condition > SINGULAR_CONDITION) {
        for (const Block& block : blocks) {
            if (block.rows.size() > DENSE_LIMIT) {
                add_lost_in_large_block(jacobian, block, rank.lost);
            }
        }
    }
    return rank;
}

Involved most_involved(SquareRank& rank, const std::vector<int>& rows,
                       const std::vector<int>& columns) {
    return {picked(rows, heaviest(rank.system->null_weights(true), INVOLVED_SHARE, rows.size())),
            picked(columns,
                   heaviest(rank.system->null_weights(false), INVOLVED_SHARE, columns.size()))};
}
