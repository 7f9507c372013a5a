#include "jacobian_checks.h"

#include <algorithm>
#include <cmath>

#include "dependence_checks.h"
#include "json_output.h"
#include "system_names.h"
#include "text_table.h"

namespace {

// An equation or variable whose largest derivative lies this factor or more
// from the median of the others' is badly scaled.
constexpr double SCALE_RATIO = 1e6;
constexpr std::size_t LISTED_ZEROS = 10;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

nlohmann::ordered_json json_names(const std::vector<std::string>& names) {
    return nlohmann::ordered_json(names);
}

BipartiteGraph nonzero_graph(const JacobianValues& jacobian) {
    BipartiteGraph graph(jacobian.rows, jacobian.columns);
    for (int row = 0; row < jacobian.rows; ++row) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            if (value != 0.0) {
                graph.connect(row, column);
            }
        }
    }
    return graph;
}

// The structure matches every equation, the values at the point do not: the
// derivatives that vanish there leave some equations without variables to
// determine and some variables without equations.
void report_singular_start(const NumberedModel& model, const JacobianValues& jacobian,
                           const BipartiteGraph& values_graph, const Matching& matching,
                           std::vector<Finding>& findings) {
    const StructuralDefects defects = structural_defects(values_graph, matching);
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
                zeros.push_back("d " + model.equation_name(row + 1) + " / d " +
                                model.symbol(column + 1));
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
    const std::vector<std::string> row_names = equation_names(model, rows);
    const std::vector<std::string> column_names = symbols(model, columns);
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
        finding.symbol = model.symbol(first_zero.second + 1);
    }
    finding.detail("equations_in_set") = json_names(row_names);
    finding.detail("variables_in_set") = json_names(column_names);
    findings.push_back(std::move(finding));
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// A power of ten near `ratio`.
double decade(double ratio) {
    return std::pow(10.0, std::round(std::log10(ratio)));
}

struct Magnitudes {
    std::vector<double> rows;
    std::vector<double> columns;
};

// The largest derivative of each row, and of each column relative to its
// row's largest: a badly scaled equation then does not make its variables
// look badly scaled too.
Magnitudes largest_magnitudes(const JacobianValues& jacobian) {
    Magnitudes largest{std::vector<double>(at(jacobian.rows), 0.0),
                       std::vector<double>(at(jacobian.columns), 0.0)};
    for (int row = 0; row < jacobian.rows; ++row) {
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            largest.rows[at(row)] = std::max(largest.rows[at(row)], std::fabs(value));
        }
        for (const auto& [column, value] : jacobian.row_entries[at(row)]) {
            const double share = std::fabs(value) / largest.rows[at(row)];
            largest.columns[at(column)] = std::max(largest.columns[at(column)], share);
        }
    }
    return largest;
}

std::vector<double> positive(const std::vector<double>& values) {
    std::vector<double> kept;
    std::copy_if(values.begin(), values.end(), std::back_inserter(kept),
                 [](double value) { return value > 0.0; });
    return kept;
}

void check_scaling(const NumberedModel& model, const JacobianValues& jacobian,
                   std::vector<Finding>& findings) {
    const Magnitudes largest = largest_magnitudes(jacobian);
    const double typical_row = median(positive(largest.rows));
    for (int row = 0; row < jacobian.rows; ++row) {
        const double size = largest.rows[at(row)];
        if (size == 0.0 || (size < SCALE_RATIO * typical_row && size * SCALE_RATIO > typical_row)) {
            continue;
        }
        const double scale = decade(size / typical_row);
        const std::string name = model.equation_name(row + 1);
        Finding finding(FindingKind::badly_scaled_equation,
                        "the derivatives of equation " + name + " reach " + readable_number(size) +
                            " at the starting point, against a median of " +
                            readable_number(typical_row) + " over all equations; dividing it by " +
                            readable_number(scale) + " would bring it in line");
        finding.equation = row + 1;
        finding.detail("largest_derivative") = json_number(size);
        finding.detail("suggested_scale") = json_number(1 / scale);
        findings.push_back(std::move(finding));
    }
    const double typical_column = median(positive(largest.columns));
    for (int column = 0; column < jacobian.columns; ++column) {
        const double size = largest.columns[at(column)];
        if (size == 0.0 ||
            (size < SCALE_RATIO * typical_column && size * SCALE_RATIO > typical_column)) {
            continue;
        }
        const double scale = decade(typical_column / size);
        const std::string symbol = model.symbol(column + 1);
        Finding finding(FindingKind::badly_scaled_variable,
                        "the derivatives by " + symbol + " are at most " + readable_number(size) +
                            " of the largest in their equations at the starting point, against "
                            "a median of " +
                            readable_number(typical_column) + " over all variables; " + symbol +
                            " measured in units " + readable_number(scale) +
                            " times as large would bring them in line");
        finding.variable = column + 1;
        finding.symbol = symbol;
        finding.detail("largest_derivative") = json_number(size);
        finding.detail("suggested_scale") = json_number(scale);
        findings.push_back(std::move(finding));
    }
}

}  // namespace

void check_jacobian(const NumberedModel& model, const BipartiteGraph& structure,
                    const JacobianValues& jacobian, std::vector<Finding>& findings) {
    if (!jacobian.finite) {
        return;
    }
    const bool trusted = std::none_of(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.severity() == Severity::error;
    });
    check_scaling(model, jacobian, findings);
    if (!trusted) {
        return;
    }
    const Matching structural = maximum_matching(structure);
    if (structure.rows != structure.columns || structural.size < structure.rows) {
        return;
    }
    const BipartiteGraph values_graph = nonzero_graph(jacobian);
    const Matching matching = maximum_matching(values_graph);
    if (matching.size < values_graph.rows) {
        report_singular_start(model, jacobian, values_graph, matching, findings);
        return;
    }
    check_dependence(model, jacobian, block_triangular_order(values_graph, matching), findings);
}
