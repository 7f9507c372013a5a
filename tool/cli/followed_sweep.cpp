#include "followed_sweep.h"

#include <algorithm>

#include "exit_codes.h"
#include "followed_output.h"
#include "host_curve_system.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

// Without --min-step, the smallest step is this share of the first.
constexpr double DEFAULT_MIN_STEP_SHARE = 1e-6;
// Without --max-points: ten points a step of STEPS, and at least a thousand.
constexpr int DEFAULT_MAX_POINTS = 1000;
constexpr int DEFAULT_POINTS_PER_STEP = 10;

CurveSettings curve_settings(const SweepOptions& options, const SweepRange& range,
                             const PreparedSystem& prepared) {
    if (range.from == range.to) {
        throw UsageError(
            "--follow: FROM and TO of --vary must differ; the curve is followed "
            "while " +
            range.symbol + " stays between them");
    }
    CurveSettings settings;
    settings.lower = std::min(range.from, range.to);
    settings.upper = std::max(range.from, range.to);
    settings.direction = range.to > range.from ? 1 : -1;
    const double first = (settings.upper - settings.lower) / range.steps;
    settings.max_step = options.max_step > 0 ? options.max_step : first;
    settings.first_step = std::min(first, settings.max_step);
    settings.min_step =
        options.min_step > 0 ? options.min_step : settings.first_step * DEFAULT_MIN_STEP_SHARE;
    if (settings.min_step > settings.max_step) {
        throw UsageError("--min-step " + readable_number(settings.min_step) +
                         " is above --max-step " + readable_number(settings.max_step));
    }
    settings.max_points = options.max_points > 0
                              ? options.max_points
                              : std::max(DEFAULT_MAX_POINTS, DEFAULT_POINTS_PER_STEP * range.steps);
    settings.tolerance = prepared.settings.tolerance;
    for (const int number : prepared.choice.unknowns) {
        settings.lower_bounds.push_back(prepared.loaded.session.variable(number).lower);
        settings.upper_bounds.push_back(prepared.loaded.session.variable(number).upper);
    }
    return settings;
}

// Why the trace ended, in words, from where it ended.
std::string end_message(const FollowedCurve& curve, const CurveSummary& summary,
                        const PreparedSystem& prepared) {
    if (curve.points.empty()) {
        return "the curve's tangent at " + curve.range.symbol + " = " +
               readable_number(curve.range.from) +
               " is not defined: the start is a turning or branch point; start elsewhere";
    }
    const FollowedPoint& last = curve.points.back();
    const std::string where = curve.range.symbol + " = " + readable_number(last.value);
    switch (summary.end) {
        case CurveEnd::left_range:
            return "the curve leaves the range at " + where;
        case CurveEnd::closed:
            return "the curve closes: it comes back to its start";
        case CurveEnd::bound: {
            const int number =
                prepared.choice.unknowns[static_cast<std::size_t>(summary.bound_column)];
            const rtvar_t& variable = prepared.loaded.session.variable(number);
            return prepared.loaded.symbols.symbol(number) + " reaches its " +
                   (summary.upper_bound ? "upper bound " + readable_number(variable.upper)
                                        : "lower bound " + readable_number(variable.lower)) +
                   " at " + where + ", where the curve leaves the variables' bounds";
        }
        case CurveEnd::max_points:
            return "the curve was followed for " + counted(curve.settings.max_points, "point") +
                   " (--max-points) and goes on beyond " + where;
        case CurveEnd::step_too_small:
            return "the corrections from " + where + " (arc length " +
                   readable_number(last.arc_length) + ") failed with steps down to --min-step " +
                   readable_number(curve.settings.min_step) +
                   ": the equations may not be defined beyond, the curve may turn too sharply "
                   "or cross another branch there; a smaller --min-step or --max-step may pass";
        case CurveEnd::stopped:
        case CurveEnd::start_failed:
            break;
    }
    return "the curve was not followed beyond " + where;
}

}  // namespace

bool FollowedCurve::complete() const {
    return end == CurveEnd::left_range || end == CurveEnd::closed || end == CurveEnd::bound;
}

void add_follow_options(CLI::App& command, SweepOptions& options) {
    command.add_flag("--follow", options.follow,
                     "follow the curve of solutions by arc length, through turning points, "
                     "from FROM while SYMBOL stays within [FROM, TO]; STEPS sets the first step");
    command
        .add_option("--min-step", options.min_step,
                    "--follow: the shortest step along the curve (default: the first step / 1e6)")
        ->check(sign_check(false));
    command
        .add_option("--max-step", options.max_step,
                    "--follow: the longest step along the curve (default: the first step)")
        ->check(sign_check(false));
    command
        .add_option("--max-points", options.max_points,
                    "--follow: the most points (default: 10 * STEPS, at least 1000)")
        ->check(sign_check(false));
}

int run_followed_sweep(const SweepOptions& options, const SweepRange& range,
                       PreparedSystem& prepared, const std::vector<int>& varied,
                       const std::vector<std::string>& output_symbols,
                       const std::vector<int>& output_numbers, const CommandContext& context) {
    FollowedCurve curve;
    curve.range = range;
    curve.settings = curve_settings(options, range, prepared);
    curve.outputs = output_symbols;
    LoadedModel& loaded = prepared.loaded;
    ModelSession& session = loaded.session;
    const ModelSolution start =
        solve_model(loaded, prepared.choice, prepared.settings,
                    unknown_values(session, prepared.choice), [](const IterationRecord&) {});
    if (!start.converged()) {
        curve.end_message = "the solve at " + range.symbol + " = " + readable_number(range.from) +
                            " stopped: " + start.stop_message;
    } else {
        HostCurveSystem system(session, prepared.choice.unknowns, varied,
                               prepared.choice.equations);
        const CurveSummary summary =
            trace_curve(system, system.point(), curve.settings, [&](const CurvePoint& point) {
                system.load(point.y);
                FollowedPoint row{point.y.back(),    {},        point.arc_length, point.steps,
                                  point.corrections, point.kind};
                for (const int number : output_numbers) {
                    row.outputs.push_back(session.value(number));
                }
                curve.points.push_back(std::move(row));
                return true;
            });
        curve.end = summary.end;
        curve.summary = summary;
        curve.end_message = end_message(curve, summary, prepared);
        // The start's iterations are the solve's and its correction's.
        if (!curve.points.empty()) {
            curve.points.front().iterations += start.outcome.history.back().iteration;
        }
    }
    write_followed_curve(curve, options.system.model.format, context.out);
    if (!options.plot_path.empty()) {
        plot_followed_curve(curve, options.plot_path,
                            options.system.model.model_path + ": curve of " + range.symbol);
    }
    if (!curve.complete()) {
        context.err << "quillon: sweep: " << curve.end_message << '\n';
    }
    return curve.complete() ? exit_code::success : exit_code::failure;
}
