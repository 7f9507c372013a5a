#include "newton_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "structural_matching.h"

namespace {

constexpr double SUFFICIENT_DECREASE = 1e-4;
constexpr double SMALLEST_STEP_FRACTION = 1.0 / 1024 / 1024;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

double largest_magnitude(const std::vector<double>& values) {
    double largest = 0.0;
    for (const double value : values) {
        largest = std::max(largest, std::fabs(value));
    }
    return largest;
}

bool all_finite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(),
                       [](double value) { return std::isfinite(value); });
}

std::vector<int> non_finite_rows(const std::vector<double>& values) {
    std::vector<int> rows;
    for (std::size_t row = 0; row < values.size(); ++row) {
        if (!std::isfinite(values[row])) {
            rows.push_back(static_cast<int>(row));
        }
    }
    return rows;
}

// Orders residuals by size, a NaN above every number.
bool smaller_residual(double left, double right) {
    if (std::isnan(left)) {
        return false;
    }
    return std::isnan(right) || std::fabs(left) < std::fabs(right);
}

class BoxedUnknowns {
  public:
    BoxedUnknowns(const std::vector<double>& lower, const std::vector<double>& upper)
        : lower_(lower), upper_(upper) {}

    std::vector<double> projected(std::vector<double> x) const {
        for (std::size_t index = 0; index < x.size(); ++index) {
            x[index] = std::clamp(x[index], lower_[index], upper_[index]);
        }
        return x;
    }

    int count_at_bounds(const std::vector<double>& x) const {
        int count = 0;
        for (std::size_t index = 0; index < x.size(); ++index) {
            count += x[index] == lower_[index] || x[index] == upper_[index] ? 1 : 0;
        }
        return count;
    }

  private:
    const std::vector<double>& lower_;
    const std::vector<double>& upper_;
};

class Newton {
  public:
    Newton(SquareSystem& system, const BoxedUnknowns& box, const NewtonSettings& settings,
           const std::function<void(const IterationRecord&)>& observer)
        : system_(system),
          box_(box),
          settings_(settings),
          observer_(observer),
          lu_(system.pattern()) {}

    NewtonOutcome run(std::vector<double> start) {
        outcome_.x = box_.projected(std::move(start));
        system_.residuals(outcome_.x, residuals_);
        record(0.0, 0.0);
        while (!finished()) {
            step();
        }
        return std::move(outcome_);
    }

  private:
    void record(double step_norm, double fraction) {
        IterationRecord made;
        made.iteration = static_cast<int>(outcome_.history.size());
        made.residual_norm = all_finite(residuals_) ? largest_magnitude(residuals_)
                                                    : std::numeric_limits<double>::quiet_NaN();
        made.step_norm = step_norm;
        made.step_fraction = fraction;
        const auto worst = std::max_element(residuals_.begin(), residuals_.end(), smaller_residual);
        made.worst_row =
            worst == residuals_.end() ? -1 : static_cast<int>(worst - residuals_.begin());
        made.at_bounds = box_.count_at_bounds(outcome_.x);
        outcome_.history.push_back(made);
        observer_(made);
    }

    bool stop(NewtonStop reason) {
        outcome_.stop = reason;
        stopped_ = true;
        return true;
    }

    bool finished() {
        if (stopped_) {
            return true;
        }
        if (!all_finite(residuals_)) {
            outcome_.rows = non_finite_rows(residuals_);
            return stop(NewtonStop::non_finite_residuals);
        }
        if (largest_magnitude(residuals_) <= settings_.tolerance) {
            return stop(NewtonStop::converged);
        }
        if (static_cast<int>(outcome_.history.size()) > settings_.max_iterations) {
            return stop(NewtonStop::iteration_limit);
        }
        return false;
    }

    void step() {
        system_.jacobian(outcome_.x, slot_values_);
        if (!all_finite(slot_values_)) {
            name_non_finite_derivatives();
            stop(NewtonStop::non_finite_jacobian);
            return;
        }
        std::vector<double> direction(residuals_.size());
        std::transform(residuals_.begin(), residuals_.end(), direction.begin(),
                       [](double value) { return -value; });
        if (!solved(direction)) {
            name_singular_part();
            stop(NewtonStop::singular_jacobian);
            return;
        }
        search_line(direction);
    }

    // Overwrites `rhs` with the Newton direction; false when the Jacobian
    // cannot give one.
    bool solved(std::vector<double>& rhs) {
        if (!lu_.factor(slot_values_)) {
            return false;
        }
        lu_.solve(rhs);
        return all_finite(rhs);
    }

    // Halves the step until the largest residual falls enough; a trial point
    // whose residuals are not finite counts as no decrease.
    void search_line(const std::vector<double>& direction) {
        const double current = largest_magnitude(residuals_);
        std::vector<double> trial_residuals;
        for (double fraction = 1.0; fraction >= SMALLEST_STEP_FRACTION; fraction /= 2) {
            std::vector<double> trial = outcome_.x;
            for (std::size_t index = 0; index < trial.size(); ++index) {
                trial[index] += fraction * direction[index];
            }
            trial = box_.projected(std::move(trial));
            system_.residuals(trial, trial_residuals);
            if (all_finite(trial_residuals) && largest_magnitude(trial_residuals) <=
                                                   (1 - SUFFICIENT_DECREASE * fraction) * current) {
                accept(std::move(trial), std::move(trial_residuals), fraction);
                return;
            }
        }
        stop(NewtonStop::no_decrease);
    }

    void accept(std::vector<double> trial, std::vector<double> trial_residuals, double fraction) {
        double step_norm = 0.0;
        for (std::size_t index = 0; index < trial.size(); ++index) {
            step_norm = std::max(step_norm, std::fabs(trial[index] - outcome_.x[index]));
        }
        outcome_.x = std::move(trial);
        residuals_ = std::move(trial_residuals);
        record(step_norm, fraction);
    }

    void name_non_finite_derivatives() {
        const CompressedColumns& pattern = system_.pattern();
        for (int slot = 0; slot < pattern.slot_count(); ++slot) {
            if (!std::isfinite(slot_values_[at(slot)])) {
                outcome_.rows.push_back(pattern.row_indices[at(slot)]);
                outcome_.columns.push_back(pattern.column_of(slot));
            }
        }
    }

    // The structure of the nonzero values tells which equations and unknowns
    // cannot be matched; when it matches fully, KLU's pivotless column is all
    // there is to name.
    void name_singular_part() {
        const CompressedColumns& pattern = system_.pattern();
        BipartiteGraph graph(pattern.size, pattern.size);
        for (int slot = 0; slot < pattern.slot_count(); ++slot) {
            if (slot_values_[at(slot)] != 0.0) {
                graph.connect(pattern.row_indices[at(slot)], pattern.column_of(slot));
            }
        }
        const Matching matching = maximum_matching(graph);
        if (matching.size < pattern.size) {
            const StructuralDefects defects = structural_defects(graph, matching);
            outcome_.rows = defects.overdetermined_rows;
            outcome_.columns = defects.underdetermined_columns;
        } else if (lu_.singular_column() >= 0) {
            outcome_.columns = {lu_.singular_column()};
        }
    }

    SquareSystem& system_;
    const BoxedUnknowns& box_;
    const NewtonSettings& settings_;
    const std::function<void(const IterationRecord&)>& observer_;
    SparseLu lu_;
    NewtonOutcome outcome_;
    std::vector<double> residuals_;
    std::vector<double> slot_values_;
    bool stopped_ = false;
};

}  // namespace

NewtonOutcome solve_newton(SquareSystem& system, std::vector<double> start,
                           const std::vector<double>& lower, const std::vector<double>& upper,
                           const NewtonSettings& settings,
                           const std::function<void(const IterationRecord&)>& observer) {
    const BoxedUnknowns box(lower, upper);
    return Newton(system, box, settings, observer).run(std::move(start));
}
