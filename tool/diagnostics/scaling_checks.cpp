#include "scaling_checks.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "json_output.h"
#include "text_table.h"

namespace {

// An equation or variable whose largest derivative lies this factor or more
// from the median of the others' is badly scaled...
constexpr double SCALE_RATIO = 1e6;
// ...and this factor or more is beyond what double precision carries: the
// smaller values are lost in the rounding of the larger.
constexpr double DOUBLE_SPREAD = 1 / std::numeric_limits<double>::epsilon();

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
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

// How far `size` lies from `typical` (a factor of at least 1), or 0 when
// either is 0.
double spread(double size, double typical) {
    if (size == 0.0 || typical == 0.0) {
        return 0.0;
    }
    return std::max(size / typical, typical / size);
}

// Why a spread of `factor` matters, or empty when it does not.
std::string why(double factor, bool involved) {
    if (factor >= DOUBLE_SPREAD) {
        return ", a spread beyond the 16 digits of double precision";
    }
    if (factor >= SCALE_RATIO && involved) {
        return ", and it is among the most involved in the Jacobian's ill-conditioning";
    }
    return "";
}

// A flag per number below `count`, set for those in `numbers`.
std::vector<char> flags(const std::vector<int>& numbers, int count) {
    std::vector<char> set(at(count), 0);
    for (const int number : numbers) {
        set[at(number)] = 1;
    }
    return set;
}

}  // namespace

void check_scaling(const SystemNames& names, const JacobianValues& jacobian,
                   const IllConditioned& ill, std::vector<Finding>& findings) {
    const Magnitudes largest = largest_magnitudes(jacobian);
    const std::vector<char> involved_rows = flags(ill.rows, jacobian.rows);
    const std::vector<char> involved_columns = flags(ill.columns, jacobian.columns);
    const double typical_row = median(positive(largest.rows));
    for (int row = 0; row < jacobian.rows; ++row) {
        const double size = largest.rows[at(row)];
        const std::string reason = why(spread(size, typical_row), involved_rows[at(row)] != 0);
        if (reason.empty()) {
            continue;
        }
        const double scale = decade(size / typical_row);
        const std::string name = names.equation(row);
        Finding finding(FindingKind::badly_scaled_equation,
                        "the derivatives of equation " + name + " reach " + readable_number(size) +
                            " at the starting point, against a median of " +
                            readable_number(typical_row) + " over all equations" + reason +
                            "; dividing it by " + readable_number(scale) +
                            " would bring it in line");
        finding.equation = row + 1;
        finding.detail("largest_derivative") = json_number(size);
        finding.detail("suggested_scale") = json_number(1 / scale);
        findings.push_back(std::move(finding));
    }
    const double typical_column = median(positive(largest.columns));
    for (int column = 0; column < jacobian.columns; ++column) {
        const double size = largest.columns[at(column)];
        const std::string reason =
            why(spread(size, typical_column), involved_columns[at(column)] != 0);
        if (reason.empty()) {
            continue;
        }
        const double scale = decade(typical_column / size);
        const std::string symbol = names.variable(column);
        Finding finding(FindingKind::badly_scaled_variable,
                        "the derivatives by " + symbol + " are at most " + readable_number(size) +
                            " of the largest in their equations at the starting point, against "
                            "a median of " +
                            readable_number(typical_column) + " over all variables" + reason +
                            "; " + symbol + " measured in units " + readable_number(scale) +
                            " times as large would bring them in line");
        finding.variable = column + 1;
        finding.symbol = symbol;
        finding.detail("largest_derivative") = json_number(size);
        finding.detail("suggested_scale") = json_number(scale);
        findings.push_back(std::move(finding));
    }
}
