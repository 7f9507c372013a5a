#include "stop_diagnosis.h"

#include <algorithm>
#include <cmath>

#include "convergence_scale.h"
#include "null_directions.h"
#include "singularity.h"
#include "sparse_products.h"

namespace {

// An unknown grew without bound when it ends at least GROWTH times its
// magnitude at the start, and at least twice its magnitude about halfway,
// after at least GROWTH_ITERATIONS iterations.
constexpr double GROWTH = 100.0;
constexpr int GROWTH_ITERATIONS = 8;
// The dependent equations contradict each other when at least this share of
// the length of the scaled residuals lies along their combination.
constexpr double CONTRADICTION_SHARE = 0.5;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

std::string cause_code(StopCause cause) {
    switch (cause) {
        case StopCause::none:
            return "";
        case StopCause::fault:
            return "evaluation-fault";
        case StopCause::diverging:
            return "diverging";
        case StopCause::contradicting:
            return "contradicting-equations";
        case StopCause::dependent:
            return "dependent-equations";
        case StopCause::bounds:
            return "bounds";
        case StopCause::local_minimum:
            return "local-minimum";
        case StopCause::round_off:
            return "round-off";
        case StopCause::progressing:
            return "progressing";
        case StopCause::few_iterations:
            return "few-iterations";
        case StopCause::stalled:
            return "stalled";
    }
    return "";
}

void find_growth(const ExaminedPoint& point, const std::vector<double>& start,
                 const std::vector<double>& halfway, int iterations, StopDiagnosis& found) {
    if (iterations < GROWTH_ITERATIONS || halfway.size() != point.x.size()) {
        return;
    }
    std::vector<bool> growing(point.x.size(), false);
    for (std::size_t column = 0; column < point.x.size(); ++column) {
        const double size = std::fabs(point.x[column]);
        growing[column] = size >= GROWTH * unknown_magnitude(start[column]) &&
                          size >= 2 * unknown_magnitude(halfway[column]);
        if (growing[column]) {
            found.growing_columns.push_back(static_cast<int>(column));
        }
    }
    if (found.growing_columns.empty()) {
        return;
    }
    const CompressedColumns& pattern = point.pattern;
    std::vector<int> count(point.residuals.size(), 0);
    for (int column = 0; column < pattern.size; ++column) {
        if (growing[at(column)]) {
            for (int slot = pattern.column_starts[at(column)];
                 slot < pattern.column_starts[at(column) + 1]; ++slot) {
                ++count[at(pattern.row_indices[at(slot)])];
            }
        }
    }
    int most = 0;
    for (const int carried : count) {
        most = std::max(most, carried);
    }
    const int least = most >= 2 ? 2 : 1;
    for (std::size_t row = 0; row < count.size(); ++row) {
        if (count[row] >= least) {
            found.loop_rows.push_back(static_cast<int>(row));
        }
    }
}

void find_held(const ExaminedPoint& point, const BoxedUnknowns& box, StopDiagnosis& found) {
    std::vector<double> by_row(point.residuals.size());
    for (std::size_t row = 0; row < by_row.size(); ++row) {
        by_row[row] = point.row_weights[row] * point.row_weights[row] * point.residuals[row];
    }
    std::vector<double> gradient;
    multiply_transposed(point.pattern, point.slot_values, by_row, gradient);
    for (std::size_t column = 0; column < point.x.size(); ++column) {
        const double value = point.x[column];
        if (box.lower(column) == box.upper(column)) {
            continue;  // held by its own bounds: no bound to widen
        }
        if ((value == box.lower(column) && gradient[column] > 0.0) ||
            (value == box.upper(column) && gradient[column] < 0.0)) {
            found.held_columns.push_back(static_cast<int>(column));
        }
    }
}

bool find_dependence(const ExaminedPoint& point, StopDiagnosis& found) {
    SparseLu lu(point.pattern);
    if (!numerically_singular(equilibrated_condition(lu, point.pattern, point.slot_values))) {
        return false;
    }
    const NullDirections null = null_directions(point.pattern, point.slot_values);
    if (null.unknowns.empty()) {
        return true;
    }
    found.dependent_rows = dependent_equations(null.rows);
    found.null_columns = moving_unknowns(null.unknowns, point.x);
    double along = 0.0;
    double squares = 0.0;
    for (std::size_t row = 0; row < point.residuals.size(); ++row) {
        const double scaled = null.row_scales[row] * point.residuals[row];
        along += null.row_combination[row] * scaled;
        squares += scaled * scaled;
    }
    // One equation alone is no set that contradicts: its derivatives vanish.
    found.contradicting = found.dependent_rows.size() >= 2 && squares > 0.0 &&
                          std::fabs(along) >= CONTRADICTION_SHARE * std::sqrt(squares);
    return true;
}
