#include "followed_curve.h"

#include <algorithm>

#include "host_curve_system.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

// Without a shortest step, it is this share of the first.
constexpr double DEFAULT_MIN_STEP_SHARE = 1e-6;
// Without most points: ten a step of STEPS, and at least a thousand.
constexpr int DEFAULT_MAX_POINTS = 1000;
constexpr int DEFAULT_POINTS_PER_STEP = 10;

// Why the trace ended, in words, from where it ended.
std::string end_message(const FollowedCurve& curve, const ModelSystem& model,
                        const CurveWording& wording) {
    if (curve.points.empty()) {
        return "the curve's tangent at " + curve.range.symbol + " = " +
               readable_number(curve.range.from) +
               " is not defined: the start is a turning or branch point; start elsewhere";
    }
    const FollowedPoint& last = curve.points.back();
    const std::string where = curve.range.symbol + " = " + readable_number(last.value);
    const CurveSummary& summary = curve.summary;
    switch (summary.end) {
        case CurveEnd::left_range:
            return "the curve leaves the range at " + where;
        case CurveEnd::closed:
            return "the curve closes: it comes back to its start";
        case CurveEnd::bound: {
            const int number =
                model.choice.unknowns[static_cast<std::size_t>(summary.bound_column)];
            const rtvar_t& variable = model.loaded.session.variable(number);
            return model.loaded.symbols.symbol(number) + " reaches its " +
                   (summary.upper_bound ? "upper bound " + readable_number(variable.upper)
                                        : "lower bound " + readable_number(variable.lower)) +
                   " at " + where + ", where the curve leaves the variables' bounds";
        }
        case CurveEnd::max_points:
            return "the curve was followed for " + counted(curve.settings.max_points, "point") +
                   " (" + wording.max_points + ") and goes on beyond " + where;
        case CurveEnd::step_too_small:
            return "the corrections from " + where + " (arc length " +
                   readable_number(last.arc_length) + ") failed with steps down to " +
                   wording.min_step + " " + readable_number(curve.settings.min_step) +
                   ": the equations may not be defined beyond, the curve may turn too sharply "
                   "or cross another branch there; a smaller " +
                   wording.min_step + " or " + wording.max_step + " may pass";
        case CurveEnd::stopped:
        case CurveEnd::start_failed:
            break;
    }
    return "the curve was not followed beyond " + where;
}

// A kind and its code.
template <typename Kind>
struct Code {
    Kind kind;
    const char* code;
};

constexpr Code<CurvePointKind> POINT_KIND_CODES[] = {
    {CurvePointKind::start, "start"},
    {CurvePointKind::regular, "step"},
    {CurvePointKind::turning_point, "turning-point"},
    {CurvePointKind::branch_point, "branch-point"},
    {CurvePointKind::end, "end"},
};

constexpr Code<CurveEnd> CURVE_END_CODES[] = {
    {CurveEnd::left_range, "left-range"},
    {CurveEnd::closed, "closed"},
    {CurveEnd::bound, "bound"},
    {CurveEnd::max_points, "max-points"},
    {CurveEnd::step_too_small, "step-too-small"},
    {CurveEnd::stopped, "stopped"},
    {CurveEnd::start_failed, "start-failed"},
};

// The code of `kind` in `table`, which lists every kind.
template <typename Kind, std::size_t Size>
const char* code_in(const Code<Kind> (&table)[Size], Kind kind) {
    for (const Code<Kind>& entry : table) {
        if (entry.kind == kind) {
            return entry.code;
        }
    }
    return table[0].code;
}

}  // namespace

const char* point_kind_code(CurvePointKind kind) {
    return code_in(POINT_KIND_CODES, kind);
}

const char* curve_end_code(CurveEnd end) {
    return code_in(CURVE_END_CODES, end);
}

bool FollowedCurve::complete() const {
    return end == CurveEnd::left_range || end == CurveEnd::closed || end == CurveEnd::bound;
}

CurveSettings follow_settings(const ModelSystem& model, const SweepRange& range,
                              const FollowRequest& request, const CurveWording& wording) {
    if (range.from == range.to) {
        throw UsageError(wording.follow + ": " + wording.range_ends +
                         " must differ; the curve is followed while " + range.symbol +
                         " stays between them");
    }
    CurveSettings settings;
    settings.lower = std::min(range.from, range.to);
    settings.upper = std::max(range.from, range.to);
    settings.direction = range.to > range.from ? 1 : -1;
    const double first = (settings.upper - settings.lower) / range.steps;
    settings.max_step = request.max_step > 0 ? request.max_step : first;
    settings.first_step = std::min(first, settings.max_step);
    settings.min_step =
        request.min_step > 0 ? request.min_step : settings.first_step * DEFAULT_MIN_STEP_SHARE;
    if (settings.min_step > settings.max_step) {
        throw UsageError(wording.min_step + " " + readable_number(settings.min_step) +
                         " is above " + wording.max_step + " " +
                         readable_number(settings.max_step));
    }
    settings.max_points = request.max_points > 0
                              ? request.max_points
                              : std::max(DEFAULT_MAX_POINTS, DEFAULT_POINTS_PER_STEP * range.steps);
    settings.tolerance = model.settings.tolerance;
    for (const int number : model.choice.unknowns) {
        settings.lower_bounds.push_back(model.loaded.session.variable(number).lower);
        settings.upper_bounds.push_back(model.loaded.session.variable(number).upper);
    }
    return settings;
}

FollowedCurve follow_model_curve(const ModelSystem& model, const std::vector<int>& varied,
                                 const SweepRange& range, const CurveSettings& settings,
                                 const std::vector<std::string>& outputs,
                                 const std::function<std::vector<double>()>& outputs_here,
                                 const CurveWording& wording) {
    FollowedCurve curve;
    curve.range = range;
    curve.settings = settings;
    curve.outputs = outputs;
    ModelSession& session = model.loaded.session;
    const ModelSolution start =
        solve_model(model.loaded, model.choice, model.settings,
                    unknown_values(session, model.choice), [](const IterationRecord&) {},
                    model.wording);
    if (!start.converged()) {
        curve.end_message = "the solve at " + range.symbol + " = " + readable_number(range.from) +
                            " stopped: " + start.stop_message;
        return curve;
    }
    HostCurveSystem system(session, model.choice.unknowns, varied, model.choice.equations);
    curve.summary = trace_curve(system, system.point(), settings, [&](const CurvePoint& point) {
        system.load(point.y);
        curve.points.push_back({point.y.back(), outputs_here(), point.arc_length, point.steps,
                                point.corrections, point.kind});
        return true;
    });
    curve.end = curve.summary.end;
    curve.end_message = end_message(curve, model, wording);
    // The start's iterations are the solve's and its correction's.
    if (!curve.points.empty()) {
        curve.points.front().iterations += start.outcome.history.back().iteration;
    }
    return curve;
}
