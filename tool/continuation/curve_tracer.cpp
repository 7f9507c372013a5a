#include "curve_tracer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

#include "curve_box.h"
#include "curve_corrector.h"
#include "curve_metric.h"
#include "sign_change.h"

namespace {

// Step control aims at consecutive tangents this far apart (radians) and at
// predictions this far off the curve (a share of the step); a step whose
// tangents are further apart than MOST_ANGLE is taken again, shorter.
constexpr double AIMED_ANGLE = 0.1;
constexpr double MOST_ANGLE = 0.5;
constexpr double AIMED_DISTANCE = 0.05;
// A step grows or shrinks by at most these factors at once.
constexpr double MOST_GROWTH = 2.0;
constexpr double LEAST_GROWTH = 0.25;
// Turning and branch points are located in at most this many corrections.
constexpr int MOST_LOCATING_CORRECTIONS = 30;
// The start is tried as the end of a closed curve when a step passes it
// within this share of the step, and taken when the curve through the step
// reaches it within this share of the parameter's range.
constexpr double CLOSING_DISTANCE = 0.2;
constexpr double CLOSED_WITHIN = 1e-6;

int sign_of(double value) {
    return (value > 0.0) - (value < 0.0);
}

bool all_finite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(),
                       [](double value) { return std::isfinite(value); });
}

// A point of the curve with what the trace needs of it.
struct Node {
    std::vector<double> y;
    std::vector<double> tangent;  // of length 1, the way the trace goes
    double arc_length = 0.0;
    // The bordered matrix [dF/dy; (W^2 t)^T] with the point's own tangent:
    // its sign stays along the curve but where another branch crosses it.
    DeterminantSign determinant;
    int steps = 0;
    int corrections = 0;
    Correction last;  // the correction that made the point
};

// A turning or branch point found within a step, at `sigma` along the
// tangent of the step's first point.
struct Located {
    double sigma;
    Node node;
    CurvePointKind kind;
};

class CurveTracer {
  public:
    CurveTracer(CurveSystem& system, const std::vector<double>& start,
                const CurveSettings& settings, const std::function<bool(const CurvePoint&)>& point)
        : settings_(settings),
          point_(point),
          metric_(start, settings.upper - settings.lower),
          corrector_(system, metric_, settings.tolerance),
          parameter_(start.size() - 1),
          set_aside_(parameter_),
          range_(settings.upper - settings.lower),
          box_(settings.lower, settings.upper, settings.lower_bounds, settings.upper_bounds) {}

    CurveSummary run(const std::vector<double>& start) {
        const auto begin = std::chrono::steady_clock::now();
        summary_.end = follow(start);
        summary_.residual_evaluations = corrector_.residual_evaluations();
        summary_.jacobian_evaluations = corrector_.jacobian_evaluations();
        summary_.evaluation_seconds = corrector_.evaluation_seconds();
        summary_.lu_seconds = corrector_.lu_seconds();
        summary_.total_seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() -
            caller_seconds_;
        return summary_;
    }

  private:
    CurveEnd follow(const std::vector<double>& y) {
        if (!correct_start(y)) {
            return CurveEnd::start_failed;
        }
        if (!emit(start_, CurvePointKind::start)) {
            return CurveEnd::stopped;
        }
        Node here = start_;
        turn_sign_ = sign_of(here.tangent[parameter_]);
        double step = std::clamp(settings_.first_step, settings_.min_step, settings_.max_step);
        for (int made = 0; made < settings_.max_points; ++made) {
            if (const std::optional<CurveEnd> end = advance(here, step)) {
                return *end;
            }
        }
        return CurveEnd::max_points;
    }

    // One step from `here`, tried shorter until its correction succeeds;
    // `here` becomes the point reached and `step` the next step's length.
    // Answers how the trace ends when the step ends it.
    std::optional<CurveEnd> advance(Node& here, double& step) {
        for (;;) {
            const double room = box_.room(here.y, here.tangent);
            if (room <= settings_.tolerance * range_) {
                return bound_end(*box_.nearest_bound(here.y, here.tangent));
            }
            const double tried = std::min(step, room);
            Node next;
            next.steps = pending_steps_;
            next.corrections = pending_corrections_;
            const bool corrected = correct_along(here, tried, next) && !turned_too_far(here, next);
            pending_steps_ = corrected ? 0 : next.steps;
            pending_corrections_ = corrected ? 0 : next.corrections;
            const std::optional<BoxEdge> crossing =
                corrected ? box_.first_crossing(here.y, next.y) : std::nullopt;
            Node edge;
            if (!corrected || (crossing && !correct_where(here, next, *crossing, edge))) {
                ++summary_.rejected_steps;
                step = tried / 2;
                if (step < settings_.min_step) {
                    return CurveEnd::step_too_small;
                }
                continue;
            }
            if (crossing) {
                edge.steps += next.steps;
                edge.corrections += next.corrections;
                if (!finish_at(here, edge)) {
                    return CurveEnd::stopped;
                }
                return crossing->coordinate == parameter_ ? CurveEnd::left_range
                                                          : bound_end(*crossing);
            }
            if (closes(here, next)) {
                Node back = start_;
                back.steps = next.steps;
                back.corrections = next.corrections;
                return finish_at(here, back) ? CurveEnd::closed : CurveEnd::stopped;
            }
            if (!emit_located(here, next) || !arrive(here, next, CurvePointKind::regular)) {
                return CurveEnd::stopped;
            }
            step = next_step(tried, here, next);
            here = std::move(next);
            if (metric_.widen(here.y)) {
                normalize(here.tangent);
            }
            return std::nullopt;
        }
    }

    // The start corrected at its parameter, with its tangent turned the way
    // the settings ask.
    bool correct_start(const std::vector<double>& y) {
        start_.y = y;
        row_.assign(y.size(), 0.0);
        row_[parameter_] = 1.0;
        start_.last =
            corrector_.correct(start_.y, row_, y[parameter_], static_cast<int>(parameter_));
        start_.steps = start_.last.steps;
        start_.corrections = 1;
        return start_.last.converged && finish(start_, nullptr);
    }

    // The tangent and determinant at a point just corrected, the tangent
    // turned as `reference` goes (or, without one, as the settings ask).
    bool finish(Node& node, const std::vector<double>* reference) {
        corrector_.direction(direction_);
        const double length = metric_.norm(direction_);
        if (!all_finite(direction_) || !(length > 0.0) || !std::isfinite(length)) {
            return false;
        }
        node.tangent.resize(direction_.size());
        for (std::size_t index = 0; index < direction_.size(); ++index) {
            node.tangent[index] = direction_[index] / length;
        }
        const bool backwards = reference ? metric_.dot(node.tangent, *reference) < 0.0
                                         : node.tangent[parameter_] * settings_.direction < 0.0;
        if (backwards) {
            for (double& component : node.tangent) {
                component = -component;
            }
        }
        // det [dF; r^T] is linear in r, and the direction v solves it with
        // r^T v = 1, so det [dF; (W^2 t)^T] = det [dF; r^T] * <t, v>.
        const DeterminantSign factored = corrector_.determinant();
        const double along = metric_.dot(node.tangent, direction_);
        node.determinant = {factored.sign * sign_of(along),
                            factored.log_magnitude + std::log(std::fabs(along))};
        return true;
    }

    // Scales `tangent` to length 1 in the metric as it is now.
    void normalize(std::vector<double>& tangent) const {
        const double length = metric_.norm(tangent);
        for (double& component : tangent) {
            component /= length;
        }
    }

    // The point at `sigma` along `from`'s tangent, on the hyperplane
    // through it normal to that tangent.
    bool correct_along(const Node& from, double sigma, Node& node) {
        node.y.resize(from.y.size());
        for (std::size_t index = 0; index < from.y.size(); ++index) {
            node.y[index] = from.y[index] + sigma * from.tangent[index];
        }
        metric_.weighted(from.tangent, row_);
        double value = 0.0;
        for (std::size_t index = 0; index < row_.size(); ++index) {
            value += row_[index] * node.y[index];
        }
        return correct(from, node, value, set_aside_for(from.tangent));
    }

    // The coordinate the tangent moves most in, kept while it moves at least
    // half as much as the most: the column the bordered solves set aside.
    int set_aside_for(const std::vector<double>& tangent) {
        std::size_t most = set_aside_;
        for (std::size_t index = 0; index < tangent.size(); ++index) {
            if (metric_.share(tangent, index) > metric_.share(tangent, most)) {
                most = index;
            }
        }
        if (metric_.share(tangent, set_aside_) < 0.5 * metric_.share(tangent, most)) {
            set_aside_ = most;
        }
        return static_cast<int>(set_aside_);
    }

    // The point where the curve between `from` and `beyond` crosses the
    // box's edge, started where the chord between them does.
    bool correct_where(const Node& from, const Node& beyond, const BoxEdge& crossing, Node& node) {
        const std::size_t c = crossing.coordinate;
        const double share = (crossing.edge - from.y[c]) / (beyond.y[c] - from.y[c]);
        node.y.resize(from.y.size());
        for (std::size_t index = 0; index < from.y.size(); ++index) {
            node.y[index] = from.y[index] + share * (beyond.y[index] - from.y[index]);
        }
        node.y[c] = crossing.edge;
        row_.assign(from.y.size(), 0.0);
        row_[c] = 1.0;
        if (!correct(from, node, crossing.edge, static_cast<int>(c))) {
            return false;
        }
        node.y[c] = crossing.edge;  // the edge itself, not a rounding of it
        return true;
    }

    bool correct(const Node& from, Node& node, double value, int set_aside) {
        node.last = corrector_.correct(node.y, row_, value, set_aside);
        node.steps += node.last.steps;
        ++node.corrections;
        return node.last.converged && finish(node, &from.tangent);
    }

    bool turned_too_far(const Node& from, const Node& to) const {
        return std::acos(std::clamp(metric_.dot(from.tangent, to.tangent), -1.0, 1.0)) > MOST_ANGLE;
    }

    CurveEnd bound_end(const BoxEdge& bound) {
        summary_.bound_column = static_cast<int>(bound.coordinate);
        summary_.upper_bound = box_.is_upper(bound);
        return CurveEnd::bound;
    }

    // Whether the step from `here` to `next` passes the start again, on the
    // same branch and going the same way.
    bool closes(const Node& here, const Node& next) {
        if (summary_.points < 2) {
            return false;
        }
        const double reach = metric_.dot(here.tangent, difference(next.y, here.y));
        const std::vector<double> to_start = difference(start_.y, here.y);
        const double along = metric_.dot(here.tangent, to_start);
        const double off_squared = metric_.dot(to_start, to_start) - along * along;
        if (!(along > 0.0 && along <= reach) ||
            off_squared > CLOSING_DISTANCE * CLOSING_DISTANCE * reach * reach ||
            metric_.dot(here.tangent, start_.tangent) <= 0.0) {
            return false;
        }
        Node passing;
        return correct_along(here, along, passing) &&
               metric_.distance(passing.y, start_.y) <= CLOSED_WITHIN * range_;
    }

    static std::vector<double> difference(const std::vector<double>& to,
                                          const std::vector<double>& from) {
        std::vector<double> change(to.size());
        for (std::size_t index = 0; index < to.size(); ++index) {
            change[index] = to[index] - from[index];
        }
        return change;
    }

    // The turning and branch points between `here` and `last`, then `last`
    // as the trace's end.
    bool finish_at(const Node& here, Node& last) {
        return emit_located(here, last) && arrive(here, last, CurvePointKind::end);
    }

    bool arrive(const Node& here, Node& next, CurvePointKind kind) {
        next.arc_length = here.arc_length + metric_.distance(here.y, next.y);
        if (next.tangent[parameter_] != 0.0) {
            turn_sign_ = sign_of(next.tangent[parameter_]);
        }
        return emit(next, kind);
    }

    // Locates where the parameter's tangent component and the determinant
    // change sign between `here` and `next`, and emits those points in the
    // order of the curve.
    bool emit_located(const Node& here, const Node& next) {
        const double reach = metric_.dot(here.tangent, difference(next.y, here.y));
        std::vector<Located> found;
        const int next_turn = sign_of(next.tangent[parameter_]);
        if (turn_sign_ != 0 && next_turn == -turn_sign_) {
            found.push_back(
                {0.0, locate(here, next, reach, turning_test()), CurvePointKind::turning_point});
        }
        if (here.determinant.sign != 0 && next.determinant.sign == -here.determinant.sign) {
            found.push_back(
                {0.0, locate(here, next, reach, branch_test(here)), CurvePointKind::branch_point});
        }
        for (Located& point : found) {
            point.sigma = metric_.dot(here.tangent, difference(point.node.y, here.y));
        }
        std::sort(found.begin(), found.end(), [](const Located& left, const Located& right) {
            return left.sigma < right.sigma;
        });
        for (Located& point : found) {
            point.node.arc_length = here.arc_length + metric_.distance(here.y, point.node.y);
            if (!emit(point.node, point.kind)) {
                return false;
            }
        }
        return true;
    }

    std::function<double(const Node&)> turning_test() const {
        return [parameter = parameter_](const Node& node) { return node.tangent[parameter]; };
    }

    // The determinant relative to `here`'s, which keeps it within range.
    static std::function<double(const Node&)> branch_test(const Node& here) {
        const double reference = here.determinant.log_magnitude;
        return [reference](const Node& node) {
            return node.determinant.sign *
                   std::exp(std::clamp(node.determinant.log_magnitude - reference, -700.0, 700.0));
        };
    }

    // The zero of `test` between `here` (at 0) and `next` (at `reach` along
    // here's tangent), where it changes sign, on the distance along the
    // tangent, each trial point corrected to the curve, to the solver's
    // tolerance.
    Node locate(const Node& here, const Node& next, double reach,
                const std::function<double(const Node&)>& test) {
        const double low_value = test(here);
        const double high_value = test(next);
        Node best = std::fabs(low_value) <= std::fabs(high_value) ? here : next;
        int steps = 0;
        int corrections = 0;
        find_sign_change(
            0.0, reach, low_value, high_value,
            [&](double sigma) -> std::optional<double> {
                Node middle;
                const bool corrected = correct_along(here, sigma, middle);
                steps += middle.steps;
                corrections += middle.corrections;
                if (!corrected) {
                    return std::nullopt;
                }
                const double value = test(middle);
                best = std::move(middle);
                return value;
            },
            settings_.tolerance, settings_.tolerance* range_, MOST_LOCATING_CORRECTIONS);
        best.steps = steps;
        best.corrections = corrections;
        return best;
    }

    // The next step's length, from the corrector's steps, the angle between
    // the tangents and how far the prediction was off the curve.
    double next_step(double tried, const Node& here, const Node& next) const {
        static constexpr double BY_STEPS[] = {MOST_GROWTH, MOST_GROWTH, 1.5, 1.0, 0.7};
        const int steps = next.last.steps;
        double growth = steps < static_cast<int>(std::size(BY_STEPS)) ? BY_STEPS[steps] : 0.5;
        const double angle =
            std::acos(std::clamp(metric_.dot(here.tangent, next.tangent), -1.0, 1.0));
        if (angle > 0.0) {
            growth = std::min(growth, AIMED_ANGLE / angle);
        }
        if (next.last.first_step > 0.0) {
            growth = std::min(growth, std::sqrt(AIMED_DISTANCE * tried / next.last.first_step));
        }
        growth = std::clamp(growth, LEAST_GROWTH, MOST_GROWTH);
        return std::clamp(tried * growth, settings_.min_step, settings_.max_step);
    }

    bool emit(const Node& node, CurvePointKind kind) {
        if (kind != CurvePointKind::start) {
            ++summary_.points;
        }
        summary_.turning_points += kind == CurvePointKind::turning_point ? 1 : 0;
        summary_.branch_points += kind == CurvePointKind::branch_point ? 1 : 0;
        const auto begin = std::chrono::steady_clock::now();
        const bool go_on = point_(
            CurvePoint{node.y, node.tangent, node.arc_length, node.steps, node.corrections, kind});
        caller_seconds_ +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        return go_on;
    }

    const CurveSettings& settings_;
    const std::function<bool(const CurvePoint&)>& point_;
    CurveMetric metric_;
    CurveCorrector corrector_;
    std::size_t parameter_;
    std::size_t set_aside_;  // see set_aside_for
    double range_;
    CurveBox box_;
    CurveSummary summary_;
    Node start_;
    // The sign of the parameter's tangent component at the last point where
    // it was not 0.
    int turn_sign_ = 0;
    // Newton steps and corrections of rejected tries, counted with the
    // point that follows them.
    int pending_steps_ = 0;
    int pending_corrections_ = 0;
    double caller_seconds_ = 0.0;  // in the caller's hands, out of the trace's time
    std::vector<double> row_;
    std::vector<double> direction_;
};

}  // namespace

CurveSummary trace_curve(CurveSystem& system, const std::vector<double>& start,
                         const CurveSettings& settings,
                         const std::function<bool(const CurvePoint&)>& point) {
    return CurveTracer(system, start, settings, point).run(start);
}
