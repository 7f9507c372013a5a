#include "rank_findings.h"

#include <algorithm>
#include <cmath>

#include "dependence_checks.h"
#include "json_output.h"
#include "structural_matching.h"
#include "text_table.h"

namespace {

constexpr std::size_t LISTED_ZEROS = 10;
constexpr double DOUBLE_DIGITS = 16;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

nlohmann::ordered_json json_names(const std::vector<std::string>& names) {
    return nlohmann::ordered_json(names);
}

std::vector<int> sorted(std::vector<int> numbers) {
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The columns of the system that `rows` use at `point`, ascending.
std::vector<int> columns_used(const SystemPoint& point, const std::vector<int>& rows,
                              const std::vector<int>& system_columns) {
    std::vector<int> columns;
    for (const int row : rows) {
        for (const auto& [column, value] : point.jacobian.row_entries[at(row)]) {
            if (value != 0.0 &&
                std::binary_search(system_columns.begin(), system_columns.end(), column)) {
                columns.push_back(column);
            }
        }
    }
    return joined(columns, {});
}

// "the unknowns x and y can move together", "the unknown x can move".
std::string unknowns_text(const std::vector<std::string>& names) {
    return names.size() == 1 ? "the unknown " + names.front() + " can move"
                             : "the unknowns " + listed_names(names) + " can move together";
}

std::string grouped(const std::vector<std::vector<std::string>>& sets) {
    std::string text;
    for (std::size_t index = 0; index < sets.size(); ++index) {
        text += (index == 0 ? "" : "; ") + listed_names(sets[index]);
    }
    return text;
}

std::string surplus_text(const std::vector<std::vector<std::string>>& sets,
                         const std::vector<std::string>& chosen) {
    if (sets.size() == 1 && sets.front().size() == 1) {
        return "equation " + chosen.front() + " has no derivative other than 0: dropping it";
    }
    if (sets.size() == 1) {
        return "equations " + listed_names(sets.front()) +
               " are numerically dependent: dropping one of them (" + chosen.front() + ")";
    }
    return counted(static_cast<long long>(sets.size()), "set") +
           " of equations are numerically dependent (" + grouped(sets) +
           "): dropping one of each (" + listed_names(chosen) + ")";
}

std::string freedom_text(const std::vector<std::vector<std::string>>& sets,
                         const std::vector<std::string>& chosen) {
    if (sets.size() == 1) {
        return unknowns_text(sets.front()) + " without changing any residual: fixing " +
               (sets.front().size() == 1 ? "it" : "one of them (" + chosen.front() + ")");
    }
    return "the unknowns can move in " + counted(static_cast<long long>(sets.size()), "direction") +
           " without changing any residual (" + grouped(sets) + "): fixing one of each (" +
           listed_names(chosen) + ")";
}

}  // namespace

void RankFindings::dependent(const DependentSet& set, const NullDirection* free,
                             const SystemPoint& point, bool cancelling, const std::string& place) {
    const std::vector<std::string> rows = equation_names(names_, set.rows);
    const std::vector<std::string> columns =
        symbols(names_, columns_used(point, set.rows, columns_));
    std::string message =
        place + ", equations " + listed_names(rows) + " are numerically dependent in variables " +
        listed_names(columns) +
        (cancelling ? ", and their residuals, though not 0, cancel in the same combination" : "") +
        ": one of them (" + names_.equation(set.dropped) + ") adds nothing to the others";
    std::vector<std::string> moving;
    if (free != nullptr) {
        moving = symbols(names_, free->columns);
        message += ", and " + unknowns_text(moving) +
                   " without changing any residual; drop or correct one of the equations, "
                   "or fix " +
                   (moving.size() == 1 ? "that unknown" : "one of those unknowns") +
                   " in its place";
    } else {
        message += "; drop or correct one";
    }
    Finding finding(FindingKind::dependent_equations, message);
    finding.equation = set.dropped + 1;
    finding.detail("equations_in_set") = json_names(rows);
    finding.detail("variables_in_set") = json_names(columns);
    if (free != nullptr) {
        finding.detail("free_variables") = json_names(moving);
    }
    findings_.push_back(std::move(finding));
}

void RankFindings::contradicting(const DependentSet& set, const SystemPoint& point, double value,
                                 const std::string& place) {
    const std::vector<std::string> rows = equation_names(names_, set.rows);
    const std::vector<std::string> columns =
        symbols(names_, columns_used(point, set.rows, columns_));
    Finding finding(FindingKind::contradicting_equations,
                    place + ", equations " + listed_names(rows) +
                        " contradict each other: they are numerically dependent in "
                        "variables " +
                        listed_names(columns) +
                        ", and the same combination of their residuals is " +
                        readable_number(value) +
                        " at every point, so no values satisfy them all (as a loop "
                        "that something enters and nothing leaves has no steady "
                        "state); correct one of them");
    finding.equation = set.dropped + 1;
    finding.detail("equations_in_set") = json_names(rows);
    finding.detail("variables_in_set") = json_names(columns);
    finding.detail("combined_residual") = json_number(value);
    findings_.push_back(std::move(finding));
}

void RankFindings::singular_start(const std::vector<int>& rows, const SystemPoint& start,
                                  const std::string& elsewhere) {
    const std::vector<std::string> row_names = equation_names(names_, rows);
    const std::vector<std::string> column_names =
        symbols(names_, columns_used(start, rows, columns_));
    Finding finding(FindingKind::singular_start,
                    "at the starting point, equations " + listed_names(row_names) +
                        " are numerically dependent in variables " + listed_names(column_names) +
                        ", though not at " + elsewhere +
                        ": the start is singular there, the model in general is not; start "
                        "from other values (--at)");
    finding.equation = rows.front() + 1;
    finding.detail("equations_in_set") = json_names(row_names);
    finding.detail("variables_in_set") = json_names(column_names);
    findings_.push_back(std::move(finding));
}

// The start's vanished derivatives: the structure matches every equation,
// the values at the point do not, so some equations are left without
// variables to determine and some variables without equations.
void RankFindings::zeros_at_start(const JacobianValues& jacobian) {
    BipartiteGraph values_graph(jacobian.rows, jacobian.columns);
    for (int row = 0; row < jacobian.rows; ++row) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value != 0.0) {
                values_graph.connect(row, column);
            }
        }
    }
    const StructuralDefects defects =
        structural_defects(values_graph, maximum_matching(values_graph));
    const std::vector<int> rows = joined(defects.overdetermined_rows, defects.underdetermined_rows);
    const std::vector<int> columns =
        joined(defects.overdetermined_columns, defects.underdetermined_columns);
    std::vector<std::string> zeros;
    std::pair<int, int> first_zero{-1, -1};
    for (const int row : rows) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value == 0.0 && std::binary_search(columns.begin(), columns.end(), column)) {
                if (zeros.empty()) {
                    first_zero = {row, column};
                }
                zeros.push_back("d " + names_.equation(row) + " / d " + names_.variable(column));
            }
        }
    }
    std::string zero_text;
    for (std::size_t index = 0; index < std::min(zeros.size(), LISTED_ZEROS); ++index) {
        zero_text += (index == 0 ? "" : ", ") + zeros[index];
    }
    if (zeros.size() > LISTED_ZEROS) {
        zero_text += " and " + std::to_string(zeros.size() - LISTED_ZEROS) + " more";
    }
    const std::vector<std::string> row_names = equation_names(names_, rows);
    const std::vector<std::string> column_names = symbols(names_, columns);
    Finding finding(
        FindingKind::singular_start,
        "the Jacobian is singular at the starting point although its structure is "
        "not: " +
            (zeros.empty() ? std::string("derivatives vanish there")
                           : "derivatives the structure needs are 0 there (" + zero_text + ")") +
            ", so equations " + listed_names(row_names) + " cannot determine variables " +
            listed_names(column_names) + "; start from other values (--at)");
    if (!zeros.empty()) {
        finding.equation = first_zero.first + 1;
        finding.variable = first_zero.second + 1;
        finding.symbol = names_.variable(first_zero.second);
    }
    finding.detail("equations_in_set") = json_names(row_names);
    finding.detail("variables_in_set") = json_names(column_names);
    findings_.push_back(std::move(finding));
}

void RankFindings::ill_conditioned(const SystemRank& start) {
    const std::vector<std::string> row_names = equation_names(names_, sorted(start.involved_rows));
    const std::vector<std::string> column_names = symbols(names_, sorted(start.involved_columns));
    const double condition = start.condition;
    const double digits = std::min(DOUBLE_DIGITS, std::round(std::log10(condition)));
    std::string message =
        "at the starting point, the Jacobian's condition number (rows and columns scaled to "
        "1) is " +
        (std::isfinite(condition) ? "about " + short_number(condition)
                                  : std::string("beyond 1e+14 (singular to working precision)")) +
        ", above " + short_number(SquareRank::ill_condition()) + ": Newton steps lose about " +
        readable_number(digits) + " of the 16 digits of double precision";
    if (!row_names.empty() && !column_names.empty()) {
        message += "; equations " + listed_names(row_names) + " and variables " +
                   listed_names(column_names) +
                   " are the most involved: check that those equations say different things";
    }
    Finding finding(FindingKind::ill_conditioned, message);
    finding.equation = start.involved_rows.empty() ? 0 : start.involved_rows.front() + 1;
    finding.detail("condition_estimate") = json_number(condition);
    finding.detail("equations_in_set") = json_names(row_names);
    finding.detail("variables_in_set") = json_names(column_names);
    findings_.push_back(std::move(finding));
}

void RankFindings::advise_not_square(Finding& not_square, const SystemRank& rank,
                                     const std::string& regular_where) {
    const bool over = rank.rows > rank.columns;
    std::vector<std::vector<std::string>> sets;
    std::vector<std::string> chosen;
    if (over) {
        for (const DependentSet& set : rank.surplus) {
            sets.push_back(equation_names(names_, set.rows));
            chosen.push_back(names_.equation(set.dropped));
        }
    } else {
        for (const NullDirection& direction : rank.freedom) {
            sets.push_back(symbols(names_, direction.columns));
            chosen.push_back(names_.variable(direction.fixed));
        }
    }
    const std::string outcome =
        rank.shortfall() == 0
            ? "leaves a square system whose Jacobian is regular " + regular_where
            : "leaves a square system whose Jacobian is still singular (see dependent-equations)";
    std::string& message = not_square.message;
    message = message.substr(0, message.find("; ") + 2) +
              (over ? surplus_text(sets, chosen) : freedom_text(sets, chosen)) + " " + outcome;
    not_square.detail(over ? "drop" : "fix") = json_names(chosen);
    not_square.detail(over ? "dependent_sets" : "null_directions") = sets;
}
