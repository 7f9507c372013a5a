#include "nonlinear_solver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>

#include "convergence_scale.h"
#include "damped_steps.h"
#include "levenberg_marquardt.h"
#include "linear_convergence.h"
#include "null_directions.h"
#include "singularity.h"
#include "stop_diagnosis.h"
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
// Steps in a row that each lower the merit by less than this share mean the
// dogleg is creeping (MINPACK's "not making good progress" over five
// Jacobian evaluations): Levenberg-Marquardt takes over, as it does where
// the dogleg stalls.
constexpr double POOR_DECREASE = 0.1;
constexpr int POOR_STEPS = 5;
// The iteration limit came while the iterates were still making steady
// progress when the largest absolute or scaled residual fell at every one of
// the last PROGRESS_ITERATIONS iterations, by at least PROGRESS_FACTOR in
// all; with fewer iterations there is no telling.
constexpr int PROGRESS_ITERATIONS = 5;
constexpr double PROGRESS_FACTOR = 2.0;
constexpr double LARGEST_DAMPING = 1.0;
// Where the Jacobian at a converged point is singular, the solve looks for
// another solution this share of the unknowns' magnitudes away along the
// null direction, in at most this many iterations from there: found at least
// half as far away, the solutions form a continuum; at an isolated singular
// root the iterations head back.
constexpr double CONTINUUM_STEP = 1e-2;
constexpr int CONTINUUM_ITERATIONS = 10;

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

// The largest change from `from` to `to` relative to the unknowns'
// magnitudes at `from`.
double relative_distance(const std::vector<double>& from, const std::vector<double>& to) {
    double largest = 0.0;
    for (std::size_t index = 0; index < from.size(); ++index) {
        largest =
            std::max(largest, std::fabs(to[index] - from[index]) / unknown_magnitude(from[index]));
    }
    return largest;
}

class TrustRegionSolver {
  public:
    // `examine_solution`: at a converged point where the Jacobian is
    // singular, tell an isolated root from a continuum (a solve that does so
    // does not do it again at the points it tries).
    TrustRegionSolver(SquareSystem& system, const BoxedUnknowns& box,
                      const SolverSettings& settings,
                      const std::function<void(const IterationRecord&)>& observer,
                      bool examine_solution)
        : system_(system),
          pattern_(system.pattern()),
          box_(box),
          settings_(settings),
          observer_(observer),
          examine_solution_(examine_solution),
          lu_(pattern_),
          region_(pattern_, slot_values_, row_weights_, column_scales_, weighted_residuals_,
                  newton_step_) {}

    SolveOutcome run(std::vector<double> start) {
        const auto begin = std::chrono::steady_clock::now();
        outcome_.x = box_.projected(std::move(start));
        start_ = outcome_.x;
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
                measure_start();
                record();
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
            if (!converged() && residuals_meet_tolerance() && newton_kind_ == StepKind::newton &&
                singular_here()) {
                // The LU still factors a Jacobian the policy calls singular:
                // how far this point is from a solution, the least-squares
                // step tells.
                lu_usable_ = false;
                find_least_squares_step();
                measure_newton_step();
            }
            if (converged()) {
                polish();
                judge_solution();
                return;
            }
            if (outcome_.history.back().iteration >= settings_.max_iterations) {
                outcome_.stop = SolveStop::iteration_limit;
                diagnose();
                return;
            }
            const Advance advanced = move_on();
            if (advanced == Advance::fault) {
                outcome_.stop = SolveStop::evaluation_fault;
                outcome_.diagnosis.cause = StopCause::fault;
                return;
            }
            if (advanced == Advance::none) {
                name_stall();
                diagnose();
                return;
            }
        }
    }

    // The next step: the trust region's, until it stalls or creeps at a
    // residual above round-off; Levenberg-Marquardt's from then on.
    Advance move_on() {
        if (!damped_) {
            const bool creeping = slow_steps_ >= SLOW_STEPS || poor_steps_ >= POOR_STEPS;
            const Advance advanced = creeping ? Advance::none : advance();
            if (advanced != Advance::none || scaled_.value <= NEAR_ROUND_OFF) {
                return advanced;
            }
            damped_ = std::make_unique<DampedSteps>(pattern_);
            outcome_.fallback_iteration = outcome_.history.back().iteration;
            rebase_weights();
        }
        watch_.other_step_taken();
        return damped_step();
    }

    // The merit Levenberg-Marquardt minimises weighs each equation by its
    // scale here, not by the largest it has had: a start far off (scales
    // many times today's) would leave those equations all but unweighed.
    // D follows the new weights.
    void rebase_weights() {
        merit_ = 0.0;
        for (std::size_t row = 0; row < residuals_.size(); ++row) {
            merit_scales_[row] = scales_[row];
            row_weights_[row] = 1.0 / scales_[row];
            weighted_residuals_[row] = residuals_[row] * row_weights_[row];
            merit_ += weighted_residuals_[row] * weighted_residuals_[row];
        }
        std::fill(column_scales_.begin(), column_scales_.end(), 0.0);
        update_column_scales();
    }

    // One Levenberg-Marquardt step, raising the damping until the merit
    // falls enough; none at a stationary point of the merit, or when the
    // damping has grown past use.
    Advance damped_step() {
        damped_->start_point(slot_values_, row_weights_, column_scales_, weighted_residuals_,
                             outcome_.x, box_);
        if (damped_->stationary()) {
            outcome_.stationary = true;
            return Advance::none;
        }
        const double merit = merit_;
        while (!damped_->exhausted()) {
            bool found = false;
            timed(outcome_.timing.lu, [&] {
                found = damped_->propose(slot_values_, row_weights_, column_scales_, residuals_,
                                         damped_step_);
            });
            if (!found) {
                damped_->refused();
                continue;
            }
            const ProjectedStep projected = project_fresh_step(damped_step_);
            if (projected.relative_change.value <= EPSILON) {
                return Advance::none;
            }
            const EvaluationStatus status = evaluate_trial();
            if (status == EvaluationStatus::fatal) {
                return Advance::fault;
            }
            WeightedMerit trial_sum;
            const double predicted_merit =
                region_.predicted_merit(step_product_, [&](std::size_t row) {
                    trial_sum.offer(row_weights_[row], trial_residuals_[row]);
                });
            const std::optional<double> trial_merit =
                status == EvaluationStatus::ok ? trial_sum.value() : std::nullopt;
            const double predicted = merit - predicted_merit;
            const double ratio =
                trial_merit && predicted > 0.0 ? (merit - *trial_merit) / predicted : 0.0;
            if (!TrustRadius::acceptable(ratio)) {
                ++outcome_.counts.rejected_trials;
                damped_->refused();
                continue;
            }
            damped_->taken(ratio);
            taken_ = {projected.largest_change, 0.0, StepKind::levenberg_marquardt};
            outcome_.x.swap(trial_);
            residuals_.swap(trial_residuals_);
            return Advance::taken;
        }
        return Advance::none;
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
        keep_points(made);
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
            if (merit_scales_[row] < scale || (damped_ && merit_scales_[row] != scale)) {
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
        if (!lu_usable_) {
            find_least_squares_step();
        }
    }

    // A Levenberg-Marquardt step in the Newton step's place, where the LU
    // cannot give one, or where its step through a singular Jacobian is
    // noise along the null direction.
    void find_least_squares_step() {
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
        scale = damped_ ? std::sqrt(norm) : std::max(scale, std::sqrt(norm));
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

    // The convergence test's residual conditions.
    bool residuals_meet_tolerance() const {
        return scaled_.value <= settings_.tolerance &&
               absolute_.value <= settings_.absolute_tolerance;
    }

    // Whether the singularity policy calls the Jacobian at x singular; the
    // LU's factor is gone afterwards.
    bool singular_here() {
        double condition = 0.0;
        timed(outcome_.timing.lu,
              [&] { condition = equilibrated_condition(lu_, pattern_, slot_values_); });
        return numerically_singular(condition);
    }

    bool converged() const {
        if (!residuals_meet_tolerance()) {
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
            poor_steps_ = merit - trial_merit < POOR_DECREASE * merit ? poor_steps_ + 1 : 0;
            outcome_.x.swap(trial_);
            residuals_.swap(trial_residuals_);
            return Advance::taken;
        }
    }

    // The points the diagnosis of a stop compares the last with: one about
    // halfway through the iterations (kept at powers of two), and the best,
    // of the smallest largest scaled residual.
    void keep_points(const IterationRecord& made) {
        const int iteration = made.iteration;
        if (iteration > 0 && (iteration & (iteration - 1)) == 0) {
            halfway_.swap(latest_power_);
            latest_power_ = outcome_.x;
        }
        if (made.scaled_residual_norm < best_scaled_) {
            best_scaled_ = made.scaled_residual_norm;
            best_x_ = outcome_.x;
            best_iteration_ = iteration;
        }
    }

    void name_stall() {
        if (!lu_usable_ || singular_here()) {
            outcome_.stop = SolveStop::singular_jacobian;
            name_singular_part();
            return;
        }
        outcome_.stop = SolveStop::no_decrease;
        outcome_.at_round_off = scaled_.value <= NEAR_ROUND_OFF;
    }

    // Why the solve stopped short, from where it stopped: unknowns that
    // grew without bound, unknowns held at their bounds, and where the
    // Jacobian is singular there (or else at the best point), the equations
    // that depend on each other and whether they contradict.
    void diagnose() {
        StopDiagnosis& found = outcome_.diagnosis;
        const ExaminedPoint here{pattern_, slot_values_, residuals_, row_weights_, outcome_.x};
        find_growth(here, start_, halfway_, outcome_.history.back().iteration, found);
        find_held(here, box_, found);
        if (!find_dependence(here, found) && best_iteration_ != outcome_.history.back().iteration) {
            found.at_best_point = examine(
                best_x_, [&](const ExaminedPoint& best) { return find_dependence(best, found); });
        }
        if (!found.dependent_rows.empty()) {
            StopDiagnosis at_start;
            found.regular_at_start = examine(start_, [&](const ExaminedPoint& start) {
                return !find_dependence(start, at_start);
            });
        }
        found.cause = cause_of_stop();
    }

    // `check` of the point `x`, evaluated afresh; false when it cannot be.
    template <typename Check>
    bool examine(const std::vector<double>& x, Check check) {
        std::vector<double> residuals;
        std::vector<double> slot_values;
        if (evaluate_residuals(x, residuals) != EvaluationStatus::ok || !all_finite(residuals)) {
            return false;
        }
        ++outcome_.counts.jacobian_evaluations;
        const EvaluationStatus status = evaluated([&] { return system_.jacobian(x, slot_values); });
        if (status != EvaluationStatus::ok || !all_finite(slot_values)) {
            return false;
        }
        return check(ExaminedPoint{pattern_, slot_values, residuals, row_weights_, x});
    }

    StopCause cause_of_stop() const {
        const StopDiagnosis& found = outcome_.diagnosis;
        if (!found.growing_columns.empty()) {
            return StopCause::diverging;
        }
        if (!found.held_columns.empty() &&
            (outcome_.stationary || outcome_.stop == SolveStop::no_decrease)) {
            return StopCause::bounds;
        }
        // Rows that line up only where the solve went, or one row whose
        // derivatives vanish there, make a minimum of the merit, not a
        // dependent set of the model's.
        const bool a_set = found.dependent_rows.size() >= 2;
        if (!found.dependent_rows.empty() && (found.regular_at_start || !a_set)) {
            return StopCause::local_minimum;
        }
        if (found.contradicting) {
            return StopCause::contradicting;
        }
        if (a_set) {
            return StopCause::dependent;
        }
        if (outcome_.stationary) {
            return StopCause::local_minimum;
        }
        if (outcome_.at_round_off) {
            return StopCause::round_off;
        }
        if (outcome_.stop == SolveStop::iteration_limit) {
            if (outcome_.history.size() <= static_cast<std::size_t>(PROGRESS_ITERATIONS)) {
                return StopCause::few_iterations;
            }
            if (falling(&IterationRecord::residual_norm) ||
                falling(&IterationRecord::scaled_residual_norm)) {
                return StopCause::progressing;
            }
        }
        return StopCause::stalled;
    }

    // Whether a measure of the records fell steadily over the last
    // iterations.
    bool falling(double IterationRecord::*measure) const {
        const std::vector<IterationRecord>& history = outcome_.history;
        const std::size_t first = history.size() - 1 - PROGRESS_ITERATIONS;
        for (std::size_t index = first + 1; index < history.size(); ++index) {
            if (!(history[index].*measure < history[index - 1].*measure)) {
                return false;
            }
        }
        return history.back().*measure * PROGRESS_FACTOR <= history[first].*measure;
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

    // The Newton step from the converged point has been computed: the point
    // it reaches (in trial_) is about as far from the root as that step
    // squared. Taken when one residual evaluation confirms it.
    void polish() {
        if (!have_newton_step_ || !newton_cut_ || evaluate_trial() != EvaluationStatus::ok) {
            return;
        }
        const ResidualMeasure polished = largest_scaled(trial_residuals_, scales_);
        if (!(polished.value <= scaled_.value) ||
            !(largest_absolute(trial_residuals_).value <= settings_.absolute_tolerance)) {
            return;
        }
        outcome_.x.swap(trial_);
        residuals_.swap(trial_residuals_);
        outcome_.polished = true;
    }

    // A converged point where the Jacobian is singular is not necessarily
    // the only solution: when another one lies along the null direction,
    // the solutions form a continuum (not_unique); else the point is an
    // isolated singular root.
    void judge_solution() {
        outcome_.stop = SolveStop::converged;
        if (!examine_solution_) {
            return;
        }
        // Weighed by the largest scale each equation has had, as the merit is.
        outcome_.condition = equilibrated_condition(lu_, pattern_, slot_values_, row_weights_);
        if (!numerically_singular(outcome_.condition)) {
            return;
        }
        const NullDirections null = null_directions(pattern_, slot_values_, row_weights_);
        outcome_.singular_at_solution = true;
        if (null.unknowns.empty()) {
            return;
        }
        outcome_.columns = moving_unknowns(null.unknowns, outcome_.x);
        std::optional<std::vector<double>> other = other_solution(null.unknowns);
        if (!other) {
            return;
        }
        outcome_.stop = SolveStop::not_unique;
        outcome_.singular_at_solution = false;
        outcome_.columns.clear();
        outcome_.continuum = {moving_unknowns(null.unknowns, outcome_.x),
                              dependent_equations(null.rows), std::move(*other)};
    }

    // A point that meets the convergence test CONTINUUM_STEP away from x
    // along `direction` (either way, as the bounds allow), reached in a few
    // iterations from there, if there is one.
    std::optional<std::vector<double>> other_solution(const std::vector<double>& direction) {
        const std::vector<double>& x = outcome_.x;
        double largest = 0.0;
        for (std::size_t index = 0; index < x.size(); ++index) {
            largest = std::max(largest, std::fabs(direction[index]) / unknown_magnitude(x[index]));
        }
        SolverSettings nearby = settings_;
        nearby.max_iterations = CONTINUUM_ITERATIONS;
        for (const double sign : {1.0, -1.0}) {
            std::vector<double> start(x.size());
            for (std::size_t index = 0; index < x.size(); ++index) {
                start[index] = box_.projected(
                    index, x[index] + sign * CONTINUUM_STEP / largest * direction[index]);
            }
            if (relative_distance(x, start) < 0.5 * CONTINUUM_STEP) {
                continue;  // the bounds are in the way
            }
            SolveOutcome there = TrustRegionSolver(
                                     system_, box_, nearby, [](const IterationRecord&) {}, false)
                                     .run(std::move(start));
            add_counts(there.counts);
            if (there.stop == SolveStop::converged &&
                relative_distance(x, there.x) >= 0.5 * CONTINUUM_STEP) {
                return std::move(there.x);
            }
        }
        return std::nullopt;
    }

    void add_counts(const SolveCounts& more) {
        SolveCounts& counts = outcome_.counts;
        counts.residual_evaluations += more.residual_evaluations;
        counts.jacobian_evaluations += more.jacobian_evaluations;
        counts.rejected_trials += more.rejected_trials;
        counts.faulted_trials += more.faulted_trials;
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
    const bool examine_solution_;
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
    int poor_steps_ = 0;
    // The points the diagnosis of a stop compares with the last: the start,
    // about halfway (and the point at the latest power of two), the best.
    std::vector<double> start_;
    std::vector<double> halfway_;
    std::vector<double> latest_power_;
    std::vector<double> best_x_;
    double best_scaled_ = std::numeric_limits<double>::infinity();
    int best_iteration_ = -1;
    // Levenberg-Marquardt's steps, once the trust region has given way to
    // them, and the step each proposes.
    std::unique_ptr<DampedSteps> damped_;
    std::vector<double> damped_step_;
};

}  // namespace

SolveOutcome solve_system(SquareSystem& system, std::vector<double> start,
                          const std::vector<double>& lower, const std::vector<double>& upper,
                          const SolverSettings& settings,
                          const std::function<void(const IterationRecord&)>& observer) {
    const BoxedUnknowns box(lower, upper);
    return TrustRegionSolver(system, box, settings, observer, true).run(std::move(start));
}
