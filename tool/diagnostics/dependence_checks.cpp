#include "dependence_checks.h"

#include <algorithm>
#include <cmath>

#include "dense_rank.h"
#include "json_output.h"
#include "scaled_system.h"
#include "system_names.h"
#include "text_table.h"

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
constexpr double DOUBLE_DIGITS = 16;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

struct Block {
    std::vector<int> rows;
    std::vector<int> columns;  // position k matched to rows[k]
    std::vector<int> sorted_columns;
};

std::vector<Block> diagonal_blocks(const BlockTriangularOrder& order) {
    std::vector<Block> blocks;
    for (std::size_t block = 0; block < order.block_starts.size(); ++block) {
        const auto start = static_cast<std::ptrdiff_t>(order.block_starts[block]);
        const auto end = block + 1 < order.block_starts.size()
                             ? static_cast<std::ptrdiff_t>(order.block_starts[block + 1])
                             : static_cast<std::ptrdiff_t>(order.rows.size());
        if (end - start >= 2) {
            std::vector<int> columns(order.columns.begin() + start, order.columns.begin() + end);
            std::vector<int> sorted = columns;
            std::sort(sorted.begin(), sorted.end());
            blocks.push_back({{order.rows.begin() + start, order.rows.begin() + end},
                              std::move(columns),
                              std::move(sorted)});
        }
    }
    return blocks;
}

// The columns of `block` that `rows` use, ascending; in time of their
// entries, not of the model's size, since a model may have many blocks.
std::vector<int> columns_used(const JacobianValues& jacobian, const std::vector<int>& rows,
                              const Block& block) {
    std::vector<int> columns;
    for (const int row : rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value != 0.0 && std::binary_search(block.sorted_columns.begin(),
                                                   block.sorted_columns.end(), column)) {
                columns.push_back(column);
            }
        }
    }
    return joined(columns, {});
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

Finding dependency_finding(const NumberedModel& model, const JacobianValues& jacobian,
                           std::vector<int> rows, int dependent, const Block& block) {
    std::sort(rows.begin(), rows.end());
    const std::vector<std::string> row_names = equation_names(model, rows);
    const std::vector<std::string> column_names =
        symbols(model, columns_used(jacobian, rows, block));
    Finding finding(FindingKind::dependent_equations,
                    "at the starting point, equations " + listed_names(row_names) +
                        " are numerically dependent in variables " + listed_names(column_names) +
                        ": one of them (" + model.equation_name(dependent + 1) +
                        ") adds nothing to the others; drop or correct one");
    finding.equation = dependent + 1;
    finding.detail("equations_in_set") = row_names;
    finding.detail("variables_in_set") = column_names;
    return finding;
}

// Reports the dependencies among `rows` of `block` (at most DENSE_LIMIT),
// with all the block's columns they use: exact, since no other column holds
// a nonzero of theirs. Answers whether it found any.
bool report_dependent_rows(const NumberedModel& model, const JacobianValues& jacobian,
                           const std::vector<int>& rows, const Block& block,
                           std::vector<Finding>& findings) {
    const std::vector<int> columns = columns_used(jacobian, rows, block);
    const std::vector<RowDependency> dependencies =
        dependent_rows(dense_part(jacobian, rows, columns), DEPENDENCE_TOLERANCE);
    for (const RowDependency& dependency : dependencies) {
        std::vector<int> set;
        for (const std::size_t row : dependency.rows) {
            set.push_back(rows[row]);
        }
        findings.push_back(
            dependency_finding(model, jacobian, std::move(set), rows[dependency.row], block));
    }
    return !dependencies.empty();
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

// A large block: when its sparse LU finds it (near) singular, the rows its
// near-null combination weighs are the candidates for a dependent set.
bool check_large_block(const NumberedModel& model, const JacobianValues& jacobian,
                       const Block& block, std::vector<Finding>& findings) {
    ScaledSystem system(jacobian, block.rows, block.columns);
    if (system.condition() <= SINGULAR_CONDITION) {
        return false;
    }
    std::vector<int> candidates;
    for (const std::size_t position :
         heaviest(system.null_weights(true), CANDIDATE_SHARE, DENSE_LIMIT)) {
        candidates.push_back(block.rows[position]);
    }
    return report_dependent_rows(model, jacobian, candidates, block, findings);
}

// The entries of `order` at the positions that weigh most: ascending, and
// the heaviest of them.
struct Involved {
    std::vector<int> entries;
    int heaviest = -1;
};

Involved involved(const std::vector<double>& weights, const std::vector<int>& order) {
    Involved chosen;
    for (const std::size_t position : heaviest(weights, INVOLVED_SHARE, weights.size())) {
        chosen.entries.push_back(order[position]);
    }
    if (!chosen.entries.empty()) {
        chosen.heaviest = chosen.entries.front();
    }
    std::sort(chosen.entries.begin(), chosen.entries.end());
    return chosen;
}

void report_ill_conditioned(const NumberedModel& model, const BlockTriangularOrder& order,
                            ScaledSystem& whole, double condition, std::vector<Finding>& findings) {
    const Involved rows = involved(whole.null_weights(true), order.rows);
    const std::vector<std::string> row_names = equation_names(model, rows.entries);
    const std::vector<std::string> column_names =
        symbols(model, involved(whole.null_weights(false), order.columns).entries);
    const double digits = std::min(DOUBLE_DIGITS, std::round(std::log10(condition)));
    std::string message =
        "at the starting point, the Jacobian's condition number (rows and columns scaled to "
        "1) is " +
        (std::isfinite(condition) ? "about " + short_number(condition)
                                  : std::string("beyond 1e+14 (singular to working precision)")) +
        ", above " + short_number(ILL_CONDITION) + ": Newton steps lose about " +
        readable_number(digits) + " of the 16 digits of double precision";
    if (!row_names.empty() && !column_names.empty()) {
        message += "; equations " + listed_names(row_names) + " and variables " +
                   listed_names(column_names) +
                   " are the most involved: check that those equations say different things";
    }
    Finding finding(FindingKind::ill_conditioned, message);
    finding.equation = rows.heaviest + 1;
    finding.detail("condition_estimate") = json_number(condition);
    finding.detail("equations_in_set") = row_names;
    finding.detail("variables_in_set") = column_names;
    findings.push_back(std::move(finding));
}

}  // namespace

void check_dependence(const NumberedModel& model, const JacobianValues& jacobian,
                      const BlockTriangularOrder& order, std::vector<Finding>& findings) {
    const std::vector<Block> blocks = diagonal_blocks(order);
    bool dependent = false;
    for (const Block& block : blocks) {
        if (block.rows.size() <= DENSE_LIMIT) {
            dependent =
                report_dependent_rows(model, jacobian, block.rows, block, findings) || dependent;
        }
    }
    ScaledSystem whole(jacobian, order.rows, order.columns);
    const double condition = whole.condition();
    if (condition <= ILL_CONDITION) {
        return;
    }
    for (const Block& block : blocks) {
        if (block.rows.size() > DENSE_LIMIT && condition > SINGULAR_CONDITION) {
            dependent = check_large_block(model, jacobian, block, findings) || dependent;
        }
    }
    if (!dependent) {
        report_ill_conditioned(model, order, whole, condition, findings);
    }
}
