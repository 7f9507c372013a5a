#include "system_rank.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "dense_rank.h"
#include "dependence_checks.h"
#include "structural_matching.h"

namespace {

// Rounds of setting rows and columns aside, and of taking back those that
// add rank after all: each round sets aside every dependence the part
// shows, so more are only needed where one brings another to light.
constexpr int MAX_ROUNDS = 8;
// A member of a set contributes at least this share of the largest member's
// contribution (its weight times its row's, or column's, largest value).
constexpr double MEMBER_SHARE = 1e-6;
// A set's whole combination keeps every term down to this share, all but
// round-off: a contradiction shows only in the exact combination.
constexpr double COMBINATION_SHARE = 1e-12;
// An entry of the rows and columns left out, once the part's are taken out
// of them (their Schur complement), of at least this share of its row's and
// column's size adds rank: the pair goes back into the part.
constexpr double ADDS_RANK_SHARE = 1e-8;
// Beyond this many equations or unknowns left out, their sets are not
// sought (a model of many free parameters, meant to be fixed).
constexpr std::size_t SET_LIMIT = 100;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

void remove(std::vector<int>& sorted, int value) {
    const auto place = std::lower_bound(sorted.begin(), sorted.end(), value);
    if (place != sorted.end() && *place == value) {
        sorted.erase(place);
    }
}

void insert(std::vector<int>& sorted, int value) {
    sorted.insert(std::lower_bound(sorted.begin(), sorted.end(), value), value);
}

// The square part that a maximum matching of the nonzero values among
// `rows` × `columns` gives, and what it leaves unmatched.
struct MatchedPart {
    std::vector<int> rows;
    std::vector<int> columns;  // position k matched to rows[k]
    std::vector<int> unmatched_rows;
    std::vector<int> unmatched_columns;
};

MatchedPart matched_part(const JacobianValues& jacobian, const std::vector<int>& rows,
                         const std::vector<int>& columns) {
    std::vector<int> position_of(at(jacobian.columns), -1);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        position_of[at(columns[k])] = static_cast<int>(k);
    }
    BipartiteGraph graph(static_cast<int>(rows.size()), static_cast<int>(columns.size()));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        for (const auto& [column, value] : jacobian.row_entries[at(rows[k])]) {
            if (value != 0.0 && position_of[at(column)] >= 0) {
                graph.connect(static_cast<int>(k), position_of[at(column)]);
            }
        }
    }
    const Matching matching = maximum_matching(graph);
    MatchedPart part;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int column = matching.column_of_row[k];
        if (column >= 0) {
            part.rows.push_back(rows[k]);
            part.columns.push_back(columns[at(column)]);
        } else {
            part.unmatched_rows.push_back(rows[k]);
        }
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (matching.row_of_column[k] < 0) {
            part.unmatched_columns.push_back(columns[k]);
        }
    }
    return part;
}

// The largest magnitude of each row over the system's columns, and each
// column's largest share of its rows' largest, by host number.
struct Sizes {
    std::vector<double> rows;
    std::vector<double> columns;  // the largest |value| over the column's rows
    std::vector<double> column_shares;
};

Sizes sizes_of(const JacobianValues& jacobian, const std::vector<int>& rows,
               const std::vector<int>& columns) {
    Sizes sizes{std::vector<double>(at(jacobian.rows), 0.0),
                std::vector<double>(at(jacobian.columns), 0.0),
                std::vector<double>(at(jacobian.columns), 0.0)};
    std::vector<char> in_columns(at(jacobian.columns), 0);
    for (const int column : columns) {
        in_columns[at(column)] = 1;
    }
    for (const int row : rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (in_columns[at(column)] != 0) {
                sizes.rows[at(row)] = std::max(sizes.rows[at(row)], std::fabs(value));
                sizes.columns[at(column)] = std::max(sizes.columns[at(column)], std::fabs(value));
            }
        }
    }
    for (const int row : rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (in_columns[at(column)] != 0 && sizes.rows[at(row)] > 0.0) {
                sizes.column_shares[at(column)] = std::max(sizes.column_shares[at(column)],
                                                           std::fabs(value) / sizes.rows[at(row)]);
            }
        }
    }
    return sizes;
}

using Terms = std::vector<std::pair<int, double>>;

// The terms of a combination, by host number: the one left out, with weight
// 1, and those of the part (the solution's, negated) whose contribution,
// weight times size, is at least `share` of the largest.
Terms terms_of(int own, const std::vector<int>& part, const std::vector<double>& solution,
               const std::vector<double>& size, double share) {
    Terms terms{{own, 1.0}};
    for (std::size_t k = 0; k < part.size(); ++k) {
        terms.emplace_back(part[k], -solution[k]);
    }
    double largest = 0.0;
    for (const auto& [number, weight] : terms) {
        largest = std::max(largest, std::fabs(weight) * size[at(number)]);
    }
    const auto negligible = [&](const std::pair<int, double>& term) {
        const double contribution = std::fabs(term.second) * size[at(term.first)];
        return term.first != own && !(contribution > 0.0 && contribution >= share * largest);
    };
    terms.erase(std::remove_if(terms.begin(), terms.end(), negligible), terms.end());
    std::sort(terms.begin(), terms.end());
    return terms;
}

void split_terms(const Terms& terms, std::vector<int>& numbers, std::vector<double>& weights) {
    for (const auto& [number, weight] : terms) {
        numbers.push_back(number);
        weights.push_back(weight);
    }
}

DependentSet dependent_set(int row, const std::vector<int>& part,
                           const std::vector<double>& solution, const std::vector<double>& size) {
    DependentSet set;
    split_terms(terms_of(row, part, solution, size, MEMBER_SHARE), set.rows, set.weights);
    set.combination = terms_of(row, part, solution, size, COMBINATION_SHARE);
    set.dropped = row;
    return set;
}

NullDirection null_direction(int column, const std::vector<int>& part,
                             const std::vector<double>& solution, const std::vector<double>& size) {
    NullDirection direction;
    split_terms(terms_of(column, part, solution, size, MEMBER_SHARE), direction.columns,
                direction.weights);
    direction.fixed = column;
    return direction;
}

// Solves with a regular square part: a row left out as a combination of the
// part's rows (on the part's columns), a column as one of its columns.
class PartSolver {
  public:
    PartSolver(const JacobianValues& jacobian, const MatchedPart& part, ScaledSystem& system)
        : jacobian_(jacobian),
          part_(part),
          system_(system),
          column_position_(positions(part.columns, jacobian.columns)),
          row_position_(positions(part.rows, jacobian.rows)) {}

    // y with the sum of y[k] times row part.rows[k] equal to row `row` on
    // the part's columns.
    std::vector<double> row_combination(int row) {
        std::vector<double> rhs(part_.columns.size(), 0.0);
        for (const auto& [column, value] : jacobian_.row_entries[at(row)]) {
            if (column_position_[at(column)] >= 0) {
                rhs[at(column_position_[at(column)])] = value;
            }
        }
        system_.solve(rhs, true);
        return rhs;
    }

    // x with the sum of x[k] times column part.columns[k] equal to column
    // `column` on the part's rows.
    std::vector<double> column_combination(int column) {
        if (by_column_.empty()) {
            by_column_.resize(at(jacobian_.columns));
            for (const int row : part_.rows) {
                for (const auto& [entry_column, value] : jacobian_.row_entries[at(row)]) {
                    by_column_[at(entry_column)].emplace_back(row, value);
                }
            }
        }
        std::vector<double> rhs(part_.rows.size(), 0.0);
        for (const auto& [row, value] : by_column_[at(column)]) {
            rhs[at(row_position_[at(row)])] = value;
        }
        system_.solve(rhs, false);
        return rhs;
    }

    // Row `row` at `column` less the combination `x` of the part's columns
    // makes of it.
    double remainder(int row, int column, const std::vector<double>& x) const {
        double value = 0.0;
        for (const auto& [entry_column, entry] : jacobian_.row_entries[at(row)]) {
            if (entry_column == column) {
                value += entry;
            } else if (column_position_[at(entry_column)] >= 0) {
                value -= entry * x[at(column_position_[at(entry_column)])];
            }
        }
        return value;
    }

  private:
    static std::vector<int> positions(const std::vector<int>& numbers, int count) {
        std::vector<int> position(at(count), -1);
        for (std::size_t k = 0; k < numbers.size(); ++k) {
            position[at(numbers[k])] = static_cast<int>(k);
        }
        return position;
    }

    const JacobianValues& jacobian_;
    const MatchedPart& part_;
    ScaledSystem& system_;
    std::vector<int> column_position_;
    std::vector<int> row_position_;
    std::vector<std::vector<std::pair<int, double>>> by_column_;
};

// Rows and columns outside the part, each with the role it was set aside
// in: beyond the system's shape (surplus rows, freedom columns) or rank lost.
struct LeftOut {
    std::vector<int> surplus_rows;
    std::vector<int> freedom_columns;
    std::vector<int> lost_rows;
    std::vector<int> lost_columns;
};

// Sets aside the row, the column or both of each rank the part lost: rows
// while more equations than unknowns are left, columns while more unknowns,
// both once they are as many.
void set_aside(const std::vector<std::pair<int, int>>& lost, std::vector<int>& rows,
               std::vector<int>& columns, LeftOut& out) {
    for (const auto& [row, column] : lost) {
        if (rows.size() > columns.size()) {
            remove(rows, row);
            out.surplus_rows.push_back(row);
        } else if (columns.size() > rows.size()) {
            remove(columns, column);
            out.freedom_columns.push_back(column);
        } else {
            remove(rows, row);
            remove(columns, column);
            out.lost_rows.push_back(row);
            out.lost_columns.push_back(column);
        }
    }
}

std::vector<int> all_of(const std::vector<int>& first, const std::vector<int>& second,
                        const std::vector<int>& third) {
    std::vector<int> all = first;
    all.insert(all.end(), second.begin(), second.end());
    all.insert(all.end(), third.begin(), third.end());
    return all;
}

// The pairs of rows and columns outside a regular part that add rank to it
// after all (diagonal blocks that are singular alone can be regular
// together): complete pivots of the part's Schur complement in the whole,
// each entry scaled by its row's size and its column's share.
std::vector<std::pair<int, int>> rank_outside(PartSolver& solver, const std::vector<int>& rows,
                                              const std::vector<int>& columns, const Sizes& sizes) {
    if (rows.empty() || columns.empty()) {
        return {};
    }
    DenseMatrix complement(rows.size(), columns.size());
    for (std::size_t j = 0; j < columns.size(); ++j) {
        const std::vector<double> x = solver.column_combination(columns[j]);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double scale = sizes.rows[at(rows[i])] * sizes.column_shares[at(columns[j])];
            complement.at(i, j) =
                scale > 0.0 ? solver.remainder(rows[i], columns[j], x) / scale : 0.0;
        }
    }
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [i, j] : complete_pivots(std::move(complement), ADDS_RANK_SHARE)) {
        pairs.emplace_back(rows[i], columns[j]);
    }
    return pairs;
}

// The analysis's rounds: the part, what it lost, and what was left out.
struct Rounds {
    MatchedPart part;
    SquareRank square;
    LeftOut out;
};

Rounds run_rounds(const JacobianValues& jacobian, std::vector<int> rows, std::vector<int> columns,
                  const Sizes& sizes) {
    Rounds rounds;
    for (int round = 0;; ++round) {
        rounds.part = matched_part(jacobian, rows, columns);
        rounds.square = square_rank(jacobian, rounds.part.rows, rounds.part.columns);
        if (round + 1 == MAX_ROUNDS) {
            break;
        }
        if (!rounds.square.lost.empty()) {
            set_aside(rounds.square.lost, rows, columns, rounds.out);
            continue;
        }
        if (!std::isfinite(rounds.square.condition)) {
            break;
        }
        PartSolver solver(jacobian, rounds.part, *rounds.square.system);
        const std::vector<int> rows_out =
            all_of(rounds.out.surplus_rows, rounds.part.unmatched_rows, rounds.out.lost_rows);
        const std::vector<int> columns_out = all_of(
            rounds.out.freedom_columns, rounds.part.unmatched_columns, rounds.out.lost_columns);
        if (rows_out.size() > SET_LIMIT || columns_out.size() > SET_LIMIT) {
            break;
        }
        const std::vector<std::pair<int, int>> back =
            rank_outside(solver, rows_out, columns_out, sizes);
        bool changed = false;
        for (const auto& [row, column] : back) {
            changed = changed || !std::binary_search(rows.begin(), rows.end(), row) ||
                      !std::binary_search(columns.begin(), columns.end(), column);
            for (std::vector<int>* list : {&rounds.out.surplus_rows, &rounds.out.lost_rows}) {
                list->erase(std::remove(list->begin(), list->end(), row), list->end());
            }
            for (std::vector<int>* list : {&rounds.out.freedom_columns, &rounds.out.lost_columns}) {
                list->erase(std::remove(list->begin(), list->end(), column), list->end());
            }
            if (!std::binary_search(rows.begin(), rows.end(), row)) {
                insert(rows, row);
            }
            if (!std::binary_search(columns.begin(), columns.end(), column)) {
                insert(columns, column);
            }
        }
        if (!changed) {
            break;
        }
    }
    return rounds;
}

// Everything outside the part, by its final role: beyond the system's shape
// first (what was set aside as such, then what was unmatched), rank lost
// after: what was set aside as lost, then what was unmatched, derivatives
// that vanish at the point.
struct Roles {
    std::vector<int> surplus;
    std::vector<int> freedom;
    std::vector<int> lost_rows;
    std::vector<int> lost_columns;
    int lost_to_zeros = 0;
};

// Splits `shape_first ++ unmatched ++ lost` into the first `beyond` (the
// shape's) and the rest, lost ones first, then unmatched; answers how many
// of the rest were unmatched.
int split(const std::vector<int>& shape_first, const std::vector<int>& unmatched,
          const std::vector<int>& lost, std::size_t beyond, std::vector<int>& shape,
          std::vector<int>& rest) {
    const std::vector<int> all = all_of(shape_first, unmatched, lost);
    std::vector<int> unmatched_rest;
    for (std::size_t k = 0; k < all.size(); ++k) {
        if (k < beyond) {
            shape.push_back(all[k]);
        } else if (k < shape_first.size() + unmatched.size()) {
            unmatched_rest.push_back(all[k]);
        } else {
            rest.push_back(all[k]);
        }
    }
    rest.insert(rest.end(), unmatched_rest.begin(), unmatched_rest.end());
    return static_cast<int>(unmatched_rest.size());
}

Roles assign_roles(const Rounds& rounds, std::size_t system_rows, std::size_t system_columns) {
    Roles roles;
    roles.lost_to_zeros =
        split(rounds.out.surplus_rows, rounds.part.unmatched_rows, rounds.out.lost_rows,
              system_rows > system_columns ? system_rows - system_columns : 0, roles.surplus,
              roles.lost_rows);
    split(rounds.out.freedom_columns, rounds.part.unmatched_columns, rounds.out.lost_columns,
          system_columns > system_rows ? system_columns - system_rows : 0, roles.freedom,
          roles.lost_columns);
    return roles;
}

}  // namespace

SystemRank system_rank(const JacobianValues& jacobian, const std::vector<int>& rows,
                       const std::vector<int>& columns) {
    SystemRank result;
    result.rows = static_cast<int>(rows.size());
    result.columns = static_cast<int>(columns.size());
    std::vector<int> sorted_rows = rows;
    std::vector<int> sorted_columns = columns;
    std::sort(sorted_rows.begin(), sorted_rows.end());
    std::sort(sorted_columns.begin(), sorted_columns.end());
    const Sizes sizes = sizes_of(jacobian, sorted_rows, sorted_columns);
    Rounds rounds = run_rounds(jacobian, sorted_rows, sorted_columns, sizes);
    const Roles roles = assign_roles(rounds, rows.size(), columns.size());
    result.lost_to_zeros = roles.lost_to_zeros;
    result.rank = static_cast<int>(rounds.part.rows.size());
    result.condition = rounds.square.condition;
    result.part_rows = rounds.part.rows;
    result.part_columns = rounds.part.columns;
    result.complete = rounds.square.lost.empty() && std::isfinite(rounds.square.condition) &&
                      roles.surplus.size() + roles.lost_rows.size() <= SET_LIMIT &&
                      roles.freedom.size() + roles.lost_columns.size() <= SET_LIMIT;
    if (rounds.square.lost.empty() && rounds.square.condition > SquareRank::ill_condition()) {
        Involved involved = most_involved(rounds.square, rounds.part.rows, rounds.part.columns);
        result.involved_rows = std::move(involved.rows);
        result.involved_columns = std::move(involved.columns);
    }
    PartSolver solver(jacobian, rounds.part, *rounds.square.system);
    const auto equations = [&](const std::vector<int>& numbers, std::vector<DependentSet>& sets) {
        for (const int row : numbers) {
            sets.push_back(result.complete ? dependent_set(row, rounds.part.rows,
                                                           solver.row_combination(row), sizes.rows)
                                           : DependentSet{{row}, {1.0}, {{row, 1.0}}, row});
        }
    };
    const auto unknowns = [&](const std::vector<int>& numbers,
                              std::vector<NullDirection>& directions) {
        for (const int column : numbers) {
            directions.push_back(result.complete ? null_direction(column, rounds.part.columns,
                                                                  solver.column_combination(column),
                                                                  sizes.columns)
                                                 : NullDirection{{column}, {1.0}, column});
        }
    };
    equations(roles.surplus, result.surplus);
    equations(roles.lost_rows, result.dependent);
    unknowns(roles.freedom, result.freedom);
    unknowns(roles.lost_columns, result.free);
    return result;
}

std::vector<int> all_rows(const JacobianValues& jacobian) {
    std::vector<int> rows(at(jacobian.rows));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

std::vector<int> all_columns(const JacobianValues& jacobian) {
    std::vector<int> columns(at(jacobian.columns));
    std::iota(columns.begin(), columns.end(), 0);
    return columns;
}
