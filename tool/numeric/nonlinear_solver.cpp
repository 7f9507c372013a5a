#include "nonlinear_solver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>

#include "convergence_scale.h"
#include "levenberg_marquardt.h"
#include "linear_convergence.h"
#include "structural_matching.h"
#include "trust_radius.h"
#include "trust_region_step.h"

namespace {

constexpr double EPSILON = std::numeric_limits<double>::epsilon();
// Scaled residuals this small are round-off of the equations' terms: no
// floating-point point does better, so the step test is moot there.
constexpr double ROUND_OFF = 4 * EPSILON;
// A stall with scaled residuals this small is reported as round-off.
constexpr double NEAR_ROUND_OFF = 64 * EPSILON;
// Levenberg-Marquardt's damping: the scaled residual norm (which makes the
// steps converge fast near a root, also a singular one), kept in this range.
constexpr double SMALLEST_DAMPING = 1e-10;
// Steps in a row that each lower the merit by less than this share mean the
// iteration is creeping along a valley floor or into a local minimum of the
// merit that is no root: MINPACK's "not making good progress".
constexpr double SLOW_DECREASE = 1e-3;
constexpr int SLOW_STEPS = 10;
// Residuals at least this share of the largest scaled one name the equations
// that contradict each other where the Jacobian is singular.
constexpr double CONFLICT_SHARE = 1e-2;
constexpr double LARGEST_DAMPING = 1.0;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// Without an early exit: the values are nearly always finite.
bool all_finite(const std::vector<double>& values) {
    bool finite = true;
    for (const double value : values) {
        finite &= is_finite_value(value);
    }
    return finite;
}

double square(double value) {
    return value * value;
}

// The pattern as a bipartite graph of rows and columns, keeping the slots
// `keep` accepts.
template <typename Keep>
BipartiteGraph graph_of(const CompressedColumns& pattern, Keep keep) {
    BipartiteGraph graph(pattern.size, pattern.size);
    for (int column = 0; column < pattern.size; ++column) {
        for (int slot = pattern.column_starts[at(column)];
             slot < pattern.column_starts[at(column) + 1]; ++slot) {
            if (keep(slot)) {
                graph.connect(pattern.row_indices[at(slot)], column);
            }
        }
    }
    return graph;
}

// Adds the seconds `work` takes to `total`.
template <typename Work>
void timed(double& total, Work work) {
    const auto begin = std::chrono::steady_clock::now();
    work();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// A scaled sum of squares sum (w_i v_i)^2, offered a row at a time; none
// when a value is not finite.
class WeightedMerit {
  public:
    void offer(double weight, double value) {
        sum_ += square(weight * value);
        finite_ &= is_finite_value(value);
    }
    std::optional<double> value() const {
        return finite_ ? std::optional<double>(sum_) : std::nullopt;
    }

  private:
    double sum_ = 0.0;
    bool finite_ = true;
};

// How an attempt to move on went: a step taken, none found, or a fault of
// the system that ends the solve.
enum class Advance { taken, none, fault };

// What the step that led to the current point was.
struct StepTaken {
    double length = 0.0;
    double radius = 0.0;
    StepKind kind = StepKind::none;
};

// A step cut to the bounds: its largest change relative to the unknowns'
// magnitudes, its largest absolute change and its scaled length ||D p||, and
// the scaled length of the step as proposed.
struct ProjectedStep {
    ResidualMeasure relative_change;
    double largest_change = 0.0;
    double scaled_length = 0.0;
    double proposed_length = 0.0;
};

class TrustRegionSolver {
  public:
    TrustRegionSolver(SquareSystem& system, const BoxedUnknowns& box,
                      const SolverSettings& settings,
                      const std::function<void(const IterationRecord&)>& observer)
        : system_(system),
          pattern_(system.pattern()),
          box_(box),
          settings_(settings),
          observer_(observer),
          lu_(pattern_),
          region_(pattern_, slot_values_, row_weights_, column_scales_, weighted_residuals_,
                  newton_step_) {}

    SolveOutcome run(std::vector<double> start) {
        const auto begin = std::chrono::steady_clock::now();
        outcome_.x = box_.projected(std::move(start));
        if (evaluate_residuals(outcome_.x, residuals_) != EvaluationStatus::ok) {
            measure_start();
            record();
            outcome_.stop = SolveStop::evaluation_fault;
        } else if (structurally_singular()) {
            measure_start();
            record();
        } else {
            iterate();
        }
        finish();
        outcome_.timing.total =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() -
            observer_seconds_;
        return std::move(outcome_);
    }

  private:
    void iterate() {
        // Only the start's residuals need the check: a step is taken only to
        // a point whose residuals are all finite.
        if (!all_finite(residuals_)) {
            measure_start();
            record();
            name_non_finite_residuals();
            outcome_.stop = SolveStop::non_finite_residuals;
            return;
        }
        for (;;) {
            if (evaluate_jacobian() != EvaluationStatus::ok) {
                outcome_.stop = SolveStop::evaluation_fault;
                return;
            }
            const bool finite_jacobian = measure_jacobian();
            measure_rows();
            record();
            if (!finite_jacobian) {
                name_non_finite_derivatives();
                outcome_.stop = SolveStop::non_finite_jacobian;
                return;
            }
            find_newton_step();
            measure_newton_step();
            if (converged()) {
                outcome_.stop = SolveStop::converged;
                note_singular_solution();
                return;
            }
            if (outcome_.history.back().iteration >= settings_.max_iterations) {
                outcome_.stop = SolveStop::iteration_limit;
                return;
            }
            if (slow_steps_ >= SLOW_STEPS) {
                name_stall();
                return;
            }
            const Advance advanced = advance();
            if (advanced == Advance::fault) {
                outcome_.stop = SolveStop::evaluation_fault;
                return;
            }
            if (advanced == Advance::none) {
                name_stall();
                return;
            }
        }
    }

    // The trust region's step, and where Newton's steps have been closing in
    // only linearly, the point they are heading for instead when its merit
    // is lower.
    Advance advance() {
        const double factor =
            relative_newton_.empty() ? 0.0 : watch_.extrapolation_factor(newton_with_last_);
        if (factor > 0.0) {
            from_ = outcome_.x;
        }
        const Advance stepped = step();
        if (stepped != Advance::taken) {
            return stepped;
        }
        if (taken_.kind != StepKind::newton) {
            watch_.other_step_taken();
            return Advance::taken;
        }
        const Advance extrapolated = factor > 0.0 ? extrapolate(factor) : Advance::none;
        if (extrapolated == Advance::taken) {
            watch_.other_step_taken();
        } else {
            watch_.newton_step_taken(relative_newton_, newton_with_last_);
        }
        return extrapolated == Advance::fault ? Advance::fault : Advance::taken;
    }

    // Moves to `from_` + `factor` times the Newton step from `from_`
    // (projected into the bounds) when that lowers the merit below the point
    // the Newton step reached.
    Advance extrapolate(double factor) {
        trial_.resize(from_.size());
        double largest_step = 0.0;
        for (std::size_t index = 0; index < trial_.size(); ++index) {
            trial_[index] = box_.projected(index, from_[index] + factor * newton_step_[index]);
            largest_step = std::max(largest_step, std::fabs(trial_[index] - from_[index]));
        }
        const EvaluationStatus status = evaluate_trial();
        if (status != EvaluationStatus::ok) {
            return status == EvaluationStatus::fatal ? Advance::fault : Advance::none;
        }
        // The residuals the step reached are finite, so their merit is there.
        const std::optional<double> trial_merit = finite_merit(trial_residuals_);
        if (!trial_merit || !(*trial_merit < *finite_merit(residuals_))) {
            return Advance::none;
        }
        taken_ = {largest_step, taken_.radius, StepKind::extrapolated};
        outcome_.x.swap(trial_);
        residuals_.swap(trial_residuals_);
        return Advance::taken;
    }

    // The scaled sum of squares of `values` with this iteration's weights;
    // none when a value is not finite.
    std::optional<double> finite_merit(const std::vector<double>& values) const {
        WeightedMerit merit;
        for (std::size_t row = 0; row < values.size(); ++row) {
            merit.offer(row_weights_[row], values[row]);
        }
        return merit.value();
    }

    EvaluationStatus evaluate_residuals(const std::vector<double>& x, std::vector<double>& values) {
        ++outcome_.counts.residual_evaluations;
        return evaluated([&] { return system_.residuals(x, values); });
    }

    EvaluationStatus evaluate_jacobian() {
        ++outcome_.counts.jacobian_evaluations;
        return evaluated([&] { return system_.jacobian(outcome_.x, slot_values_); });
    }

    // The residuals at trial_, into trial_residuals_; a trial the system
    // cannot evaluate counts as such.
    EvaluationStatus evaluate_trial() {
        const EvaluationStatus status = evaluate_residuals(trial_, trial_residuals_);
        if (status != EvaluationStatus::ok) {
            ++outcome_.counts.faulted_trials;
        }
        return status;
    }

    // Runs `evaluation`, timed, and keeps the system's words when it fails.
    template <typename Evaluation>
    EvaluationStatus evaluated(Evaluation evaluation) {
        EvaluationStatus status = EvaluationStatus::ok;
        timed(outcome_.timing.evaluation, [&] { status = evaluation(); });
        if (status != EvaluationStatus::ok) {
            outcome_.fault = system_.fault();
        }
        return status;
    }

    void record() {
        IterationRecord made;
        made.iteration = static_cast<int>(outcome_.history.size());
        made.residual_norm = absolute_.value;
        made.worst_row = absolute_.row;
        made.scaled_residual_norm = scaled_.value;
        made.worst_scaled_row = scaled_.row;
        made.step_norm = taken_.length;
        made.trust_radius = taken_.radius;
        made.step_kind = taken_.kind;
        made.at_bounds = at_bounds_;
        outcome_.history.push_back(made);
        const auto recorded = std::chrono::steady_clock::now();
        if (made.iteration > 0) {
            outcome_.timing.last_iteration =
                std::chrono::duration<double>(recorded - last_record_).count();
        }
        // What the observer does with the record is not the solve's time.
        observer_(made);
        last_record_ = std::chrono::steady_clock::now();
        observer_seconds_ += std::chrono::duration<double>(last_record_ - recorded).count();
    }

    // The start's measures when no Jacobian is evaluated there: the scaled
    // residual is NaN without the scales.
    void measure_start() {
        measure_unknowns();
        absolute_ = largest_absolute(residuals_);
        scaled_ = {std::numeric_limits<double>::quiet_NaN(), -1};
    }

    // The unknowns on a bound at the current point, counted in a pass that
    // also calls `also_per_unknown` with each index.
    template <typename PerUnknown>
    void measure_unknowns(PerUnknown also_per_unknown) {
        const std::vector<double>& x = outcome_.x;
        int contacts = 0;
        for (std::size_t index = 0; index < x.size(); ++index) {
            contacts += box_.on_bound(index, x[index]) ? 1 : 0;
            also_per_unknown(index);
        }
        at_bounds_ = contacts;
    }

    void measure_unknowns() {
        measure_unknowns([](std::size_t) {});
    }

    // The unknowns on a bound and the equations' largest products with the
    // new Jacobian (into scale_products_, which measure_rows empties again
    // for the next one), in one pass; whether every Jacobian value is finite.
    // The unknowns' magnitudes are found afresh wherever they are needed:
    // cheaper than a vector of them to write and read back.
    bool measure_jacobian() {
        scale_products_.resize(at(pattern_.size), 0.0);
        bool finite = true;
        measure_unknowns([&](std::size_t column) {
            finite &= offer_scale_products(pattern_, slot_values_, column,
                                           unknown_magnitude(outcome_.x[column]), scale_products_);
        });
        return finite;
    }

    // Per equation, in one pass once the Jacobian's products are in:
    // its scale, the largest absolute and scaled residuals, the row weights W
    // (one over the largest scale each equation has had, so that the merit
    // function changes little from one iteration to the next; weights that
    // follow the point freely can make the iteration cycle), the weighted
    // residuals and their merit ||W F||^2, and -F, the right-hand side the
    // LU solves for the Newton step. It also empties the sums the next
    // passes add into: the scale products, and the Newton step's product
    // with the Jacobian.
    void measure_rows() {
        const std::size_t rows = residuals_.size();
        scales_.resize(rows);
        step_product_.resize(rows);
        merit_scales_.resize(rows, 0.0);
        row_weights_.resize(rows);
        weighted_residuals_.resize(rows);
        newton_step_.resize(rows);
        LargestRatio absolute;
        LargestRatio scaled;
        double merit = 0.0;
        for (std::size_t row = 0; row < rows; ++row) {
            const double residual = residuals_[row];
            const double scale = usable_scale(scale_products_[row]);
            scale_products_[row] = 0.0;
            scales_[row] = scale;
            absolute.offer(residual, 1.0, static_cast<int>(row));
            scaled.offer(residual, scale, static_cast<int>(row));
            // A weight changes only with its scale, which seldom grows once
            // the iteration settles: no division for the others. Scales are
            // positive, so each weight is set at the first point.
            if (merit_scales_[row] < scale) {
                merit_scales_[row] = scale;
                row_weights_[row] = 1.0 / scale;
            }
            weighted_residuals_[row] = residual * row_weights_[row];
            merit += weighted_residuals_[row] * weighted_residuals_[row];
            newton_step_[row] = -residual;
            step_product_[row] = 0.0;
        }
        absolute_ = absolute.largest();
        scaled_ = scaled.largest();
        merit_ = merit;
    }

    // A pattern without a full matching stays singular whatever its values.
    bool structurally_singular() {
        const BipartiteGraph graph = graph_of(pattern_, [](int) { return true; });
        const Matching matching = maximum_matching(graph);
        if (matching.size == pattern_.size) {
            return false;
        }
        const StructuralDefects defects = structural_defects(graph, matching);
        outcome_.rows = defects.overdetermined_rows;
        outcome_.columns = defects.underdetermined_columns;
        outcome_.stop = SolveStop::singular_jacobian;
        outcome_.structurally_singular = true;
        return true;
    }

    // The Newton step from the LU, or where the LU cannot give one, a
    // Levenberg-Marquardt step in its place. Either way the point comes cut
    // to the bounds (newton_cut_, trial_ and step_product_); the LU's step also comes
    // relative to the unknowns' magnitudes and compared with the last full
    // Newton step (relative_newton_, empty for any other step).
    void find_newton_step() {
        column_scales_.resize(at(pattern_.size), 0.0);
        timed(outcome_.timing.lu, [&] {
            lu_usable_ = lu_.factor(slot_values_);
            if (lu_usable_) {
                lu_.solve(newton_step_);
            }
        });
        newton_kind_ = StepKind::newton;
        newton_cut_.reset();
        if (lu_usable_) {
            lu_usable_ = cut_newton_step();
        } else {
            update_column_scales();
        }
        have_newton_step_ = lu_usable_;
        if (lu_usable_) {
            return;
        }
        relative_newton_.clear();
        newton_kind_ = StepKind::levenberg_marquardt;
        if (!levenberg_marquardt_) {
            levenberg_marquardt_ = std::make_unique<LevenbergMarquardt>(pattern_);
        }
        const double damping = std::clamp(std::sqrt(merit_), SMALLEST_DAMPING, LARGEST_DAMPING);
        timed(outcome_.timing.lu, [&] {
            have_newton_step_ = levenberg_marquardt_->step(
                slot_values_, row_weights_, column_scales_, damping, residuals_, newton_step_);
        });
        if (have_newton_step_) {
            newton_cut_ = project_fresh_step(newton_step_);
        }
    }

    // The LU's step cut to the bounds, made relative and compared with the
    // last full Newton step, in the one pass over the unknowns that also
    // brings the column scales up to date (which the cut's lengths use);
    // false (and the step unusable) when a value is not finite.
    bool cut_newton_step() {
        const std::vector<double>& last = watch_.last_step();
        const bool compare = last.size() == newton_step_.size();
        relative_newton_.resize(newton_step_.size());
        newton_with_last_ = StepComparison();
        bool finite = true;
        newton_cut_ = project_step(newton_step_, [&](std::size_t index, double magnitude) {
            update_column_scale(index);
            const double value = newton_step_[index];
            finite &= is_finite_value(value);
            relative_newton_[index] = value / magnitude;
            if (compare) {
                newton_with_last_.offer(last[index], relative_newton_[index]);
            }
        });
        return finite;
    }

    // D: the scaled Jacobian's column norms, never shrinking (as in MINPACK),
    // 1 for a column that has been all zero.
    void update_column_scales() {
        for (std::size_t column = 0; column < column_scales_.size(); ++column) {
            update_column_scale(column);
        }
    }

    void update_column_scale(std::size_t column) {
        double norm = 0.0;
        for (int slot = pattern_.column_starts[column]; slot < pattern_.column_starts[column + 1];
             ++slot) {
            const double value =
                row_weights_[at(pattern_.row_indices[at(slot)])] * slot_values_[at(slot)];
            norm += value * value;
        }
        double& scale = column_scales_[column];
        scale = std::max(scale, std::sqrt(norm));
        if (!(scale > 0.0) || !std::isfinite(scale)) {
            scale = 1.0;
        }
    }

    // Cuts `step` from the current point to the bounds: the point it reaches
    // goes into `trial_`, the cut step's product with the Jacobian is added
    // into step_product_ (which must hold zeros), and the measures of the cut
    // step and of `step` come back; in one pass over the unknowns that first
    // calls `also_per_unknown` with each index and the unknown's magnitude.
    template <typename PerUnknown>
    ProjectedStep project_step(const std::vector<double>& step, PerUnknown also_per_unknown) {
        const std::vector<double>& x = outcome_.x;
        trial_.resize(step.size());
        LargestRatio relative_change;
        double largest_change = 0.0;
        double squares = 0.0;
        double proposed_squares = 0.0;
        for (std::size_t index = 0; index < step.size(); ++index) {
            const double magnitude = unknown_magnitude(x[index]);
            also_per_unknown(index, magnitude);
            const double change = box_.projected(index, x[index] + step[index]) - x[index];
            add_column_product(index, change);
            trial_[index] = x[index] + change;
            relative_change.offer(change, magnitude, static_cast<int>(index));
            largest_change = std::max(largest_change, std::fabs(change));
            squares += square(column_scales_[index] * change);
            proposed_squares += square(column_scales_[index] * step[index]);
        }
        return {relative_change.largest(), largest_change, std::sqrt(squares),
                std::sqrt(proposed_squares)};
    }

    // project_step for a step whose product nothing has started on.
    ProjectedStep project_fresh_step(const std::vector<double>& step) {
        std::fill(step_product_.begin(), step_product_.end(), 0.0);
        return project_step(step, [](std::size_t, double) {});
    }

    // Column `column` times `change`, added into step_product_: the columns
    // in order add each row's terms in the order of a product by columns.
    void add_column_product(std::size_t column, double change) {
        for (int slot = pattern_.column_starts[column]; slot < pattern_.column_starts[column + 1];
             ++slot) {
            step_product_[at(pattern_.row_indices[at(slot)])] += slot_values_[at(slot)] * change;
        }
    }

    // The Newton step's measures, which the convergence test and the outcome
    // read.
    void measure_newton_step() {
        if (have_newton_step_) {
            outcome_.relative_step = newton_cut_->relative_change.value;
            outcome_.relative_step_column = newton_cut_->relative_change.row;
        } else {
            outcome_.relative_step = 0.0;
            outcome_.relative_step_column = -1;
        }
    }

    bool converged() const {
        if (!(scaled_.value <= settings_.tolerance) ||
            !(absolute_.value <= settings_.absolute_tolerance)) {
            return false;
        }
        if (scaled_.value <= ROUND_OFF) {
            return true;
        }
        return have_newton_step_ &&
               outcome_.relative_step <= STEP_TOLERANCE_FACTOR * settings_.tolerance;
    }

    // One accepted step, trying smaller regions until the scaled sum of
    // squares falls enough: none when the trial steps have shrunk to nothing,
    // fault when the system cannot evaluate at all.
    Advance step() {
        region_.start_iteration(
            newton_cut_ ? std::optional<double>(newton_cut_->proposed_length) : std::nullopt,
            newton_kind_);
        if (!radius_.started()) {
            // Measured with the unknowns' magnitudes, not their values: a
            // start at 1e-7 would otherwise make a region so small that it
            // doubles step after step before Newton's step fits.
            double scaled_start = 0.0;
            for (std::size_t index = 0; index < outcome_.x.size(); ++index) {
                scaled_start +=
                    square(column_scales_[index] * unknown_magnitude(outcome_.x[index]));
            }
            radius_.start(std::sqrt(scaled_start));
        }
        const double merit = merit_;
        for (;;) {
            StepKind kind = StepKind::none;
            const std::vector<double>& proposed = region_.step(radius_.value(), kind);
            // The Newton point cut to the bounds is in trial_ still, and its
            // product in step_product_.
            const ProjectedStep projected = &proposed == &newton_step_ && newton_cut_
                                                ? *newton_cut_
                                                : project_fresh_step(proposed);
            newton_cut_.reset();
            if (projected.relative_change.value <= EPSILON) {
                return Advance::none;
            }
            const double scaled_length = projected.scaled_length;
            const EvaluationStatus status = evaluate_trial();
            if (status == EvaluationStatus::fatal) {
                return Advance::fault;
            }
            ++outcome_.counts.rejected_trials;  // until it is taken
            if (status == EvaluationStatus::recoverable) {
                radius_.unusable(scaled_length);
                continue;
            }
            // The trial's merit is summed in the pass that sums the predicted
            // one; a trial that is not finite has no use for the latter.
            WeightedMerit trial_sum;
            const double predicted_merit =
                region_.predicted_merit(step_product_, [&](std::size_t row) {
                    trial_sum.offer(row_weights_[row], trial_residuals_[row]);
                });
            const std::optional<double> finite_trial_merit = trial_sum.value();
            if (!finite_trial_merit) {
                radius_.unusable(scaled_length);
                continue;
            }
            const double trial_merit = *finite_trial_merit;
            const double predicted = merit - predicted_merit;
            const double ratio = predicted > 0.0 ? (merit - trial_merit) / predicted : 0.0;
            if (!TrustRadius::acceptable(ratio)) {
                radius_.rejected(scaled_length);
                continue;
            }
            --outcome_.counts.rejected_trials;
            taken_ = {projected.largest_change, radius_.value(), kind};
            radius_.accepted(ratio, scaled_length);
            slow_steps_ = merit - trial_merit < SLOW_DECREASE * merit ? slow_steps_ + 1 : 0;
            outcome_.x.swap(trial_);
            residuals_.swap(trial_residuals_);
            return Advance::taken;
        }
    }

    void name_stall() {
        if (!lu_usable_) {
            outcome_.stop = SolveStop::singular_jacobian;
            name_singular_part();
            return;
        }
        outcome_.stop = SolveStop::no_decrease;
        outcome_.at_round_off = scaled_.value <= NEAR_ROUND_OFF;
    }

    void name_non_finite_residuals() {
        std::vector<bool> named(at(pattern_.size), false);
        std::vector<bool> bad_row(residuals_.size(), false);
        for (std::size_t row = 0; row < residuals_.size(); ++row) {
            if (!std::isfinite(residuals_[row])) {
                bad_row[row] = true;
                outcome_.rows.push_back(static_cast<int>(row));
            }
        }
        for (int slot = 0; slot < pattern_.slot_count(); ++slot) {
            const int column = pattern_.column_of(slot);
            if (bad_row[at(pattern_.row_indices[at(slot)])] && !named[at(column)]) {
                named[at(column)] = true;
            }
        }
        for (int column = 0; column < pattern_.size; ++column) {
            if (named[at(column)]) {
                outcome_.columns.push_back(column);
            }
        }
    }

    void name_non_finite_derivatives() {
        for (int slot = 0; slot < pattern_.slot_count(); ++slot) {
            if (!std::isfinite(slot_values_[at(slot)])) {
                outcome_.rows.push_back(pattern_.row_indices[at(slot)]);
                outcome_.columns.push_back(pattern_.column_of(slot));
            }
        }
    }

    // A root where the LU fails is reached by least-squares steps: say so,
    // since the equations there may not determine the unknowns.
    void note_singular_solution() {
        if (lu_usable_) {
            return;
        }
        outcome_.singular_at_solution = true;
        if (lu_.singular_column() >= 0) {
            outcome_.columns = {lu_.singular_column()};
        }
    }

    // The structure of the nonzero values tells which equations and unknowns
    // cannot be matched; when it matches fully, KLU's pivotless column is all
    // there is to name.
    void name_singular_part() {
        const BipartiteGraph graph =
            graph_of(pattern_, [&](int slot) { return slot_values_[at(slot)] != 0.0; });
        const Matching matching = maximum_matching(graph);
        if (matching.size < pattern_.size) {
            const StructuralDefects defects = structural_defects(graph, matching);
            outcome_.rows = defects.overdetermined_rows;
            outcome_.columns = defects.underdetermined_columns;
        } else {
            if (lu_.singular_column() >= 0) {
                outcome_.columns = {lu_.singular_column()};
            }
            name_conflicting_rows();
        }
    }

    // At a least-squares stall the weighted residuals lie in the Jacobian's
    // left null space: the rows they leave standing depend on each other.
    void name_conflicting_rows() {
        const double largest = largest_scaled(residuals_, scales_).value;
        for (std::size_t row = 0; row < residuals_.size(); ++row) {
            if (std::fabs(residuals_[row]) / scales_[row] >= CONFLICT_SHARE * largest) {
                outcome_.conflicting_rows.push_back(static_cast<int>(row));
            }
        }
    }

    void finish() {
        outcome_.residuals = residuals_;
        outcome_.largest_absolute = largest_absolute(residuals_);
        if (scales_.size() == residuals_.size()) {
            outcome_.largest_scaled = largest_scaled(residuals_, scales_);
        } else {
            outcome_.largest_scaled = {std::numeric_limits<double>::quiet_NaN(),
                                       outcome_.largest_absolute.row};
        }
        outcome_.at_bounds = box_.contacts(outcome_.x);
    }

    SquareSystem& system_;
    const CompressedColumns& pattern_;
    const BoxedUnknowns& box_;
    const SolverSettings& settings_;
    const std::function<void(const IterationRecord&)>& observer_;
    SparseLu lu_;
    std::unique_ptr<LevenbergMarquardt> levenberg_marquardt_;
    SolveOutcome outcome_;
    std::vector<double> residuals_;
    std::vector<double> slot_values_;
    std::vector<double> scales_;
    std::vector<double> scale_products_;
    std::vector<double> merit_scales_;
    std::vector<double> row_weights_;
    std::vector<double> weighted_residuals_;
    std::vector<double> column_scales_;
    std::vector<double> newton_step_;
    // The current point's measures, as its record gives them.
    ResidualMeasure absolute_;
    ResidualMeasure scaled_;
    int at_bounds_ = 0;
    // This iteration's merit ||W F||^2, and its Newton point cut to the
    // bounds while trial_ and step_product_ hold it.
    double merit_ = 0.0;
    std::optional<ProjectedStep> newton_cut_;
    // The LU's Newton step relative to the magnitudes, compared with the
    // last full Newton step taken.
    std::vector<double> relative_newton_;
    StepComparison newton_with_last_;
    // Work vectors kept from one iteration to the next: the product of the
    // step cut to the bounds with the Jacobian, the point the step reaches
    // and the residuals there, and where an extrapolation starts.
    std::vector<double> step_product_;
    std::vector<double> trial_;
    std::vector<double> trial_residuals_;
    std::vector<double> from_;
    TrustRegionStep region_;
    StepKind newton_kind_ = StepKind::newton;
    bool lu_usable_ = false;
    bool have_newton_step_ = false;
    TrustRadius radius_;
    StepTaken taken_;
    LinearConvergenceWatch watch_;
    double observer_seconds_ = 0.0;
    std::chrono::steady_clock::time_point last_record_;
    int slow_steps_ = 0;
};

}  // namespace

SolveOutcome solve_system(SquareSystem& system, std::vector<double> start,
                          const std::vector<double>& lower, const std::vector<double>& upper,
                          const SolverSettings& settings,
                          const std::function<void(const IterationRecord&)>& observer) {
    const BoxedUnknowns box(lower, upper);
    return TrustRegionSolver(system, box, settings, observer).run(std::move(start));
}
