#include "followed_output.h"

#include <algorithm>
#include <cctype>

#include "csv_output.h"
#include "json_output.h"
#include "sweep_plot.h"
#include "text_table.h"

namespace {

// The words the text table shows for each kind of point.
const char* point_words(CurvePointKind kind) {
    switch (kind) {
        case CurvePointKind::regular:
            return "";
        case CurvePointKind::turning_point:
            return "turning point";
        case CurvePointKind::branch_point:
            return "branch point";
        case CurvePointKind::start:
        case CurvePointKind::end:
            break;
    }
    return point_kind_code(kind);
}

std::vector<const FollowedPoint*> points_of(const FollowedCurve& curve, CurvePointKind kind) {
    std::vector<const FollowedPoint*> found;
    for (const FollowedPoint& point : curve.points) {
        if (point.kind == kind) {
            found.push_back(&point);
        }
    }
    return found;
}

// "2 turning points: tau = 5.713 and 0.8283", "no branch point".
std::string listed_points(const FollowedCurve& curve, CurvePointKind kind, const char* noun) {
    const std::vector<const FollowedPoint*> points = points_of(curve, kind);
    if (points.empty()) {
        return std::string("no ") + noun;
    }
    std::vector<std::string> values;
    for (const FollowedPoint* point : points) {
        values.push_back(readable_number(point->value));
    }
    return counted(static_cast<long long>(points.size()), noun) + " at " + curve.range.symbol +
           " = " + listed_names(values);
}

// The trace's time over the points it made past the start.
double seconds_per_point(const FollowedCurve& curve) {
    return curve.summary.total_seconds / std::max(curve.summary.points, 1);
}

void print_text(const FollowedCurve& curve, std::ostream& out) {
    const SweepRange& range = curve.range;
    out << "Curve of " << range.symbol << " followed from " << readable_number(range.from)
        << " toward " << readable_number(range.to) << " by arc length (first step "
        << readable_number(curve.settings.first_step) << ", steps from "
        << readable_number(curve.settings.min_step) << " to "
        << readable_number(curve.settings.max_step) << ")\n\n";
    if (!curve.points.empty()) {
        using Align = TextTable::Align;
        std::vector<TextTable::Column> columns{{range.symbol, Align::right}};
        for (const std::string& symbol : curve.outputs) {
            columns.push_back({symbol, Align::right});
        }
        for (const char* header : {"arc length", "iterations", "solves"}) {
            columns.push_back({header, Align::right});
        }
        columns.push_back({"point", Align::left});
        TextTable table(std::move(columns));
        for (const FollowedPoint& point : curve.points) {
            std::vector<std::string> cells{readable_number(point.value)};
            for (const double value : point.outputs) {
                cells.push_back(readable_number(value));
            }
            cells.push_back(readable_number(point.arc_length));
            cells.push_back(std::to_string(point.iterations));
            cells.push_back(std::to_string(point.solves));
            cells.push_back(point_words(point.kind));
            table.add_row(std::move(cells));
        }
        table.print(out);
        out << '\n';
    }
    std::string message = curve.end_message;
    message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
    out << message << ".\n";
    if (!curve.points.empty()) {
        const CurveSummary& summary = curve.summary;
        out << listed_points(curve, CurvePointKind::turning_point, "turning point") << "; "
            << listed_points(curve, CurvePointKind::branch_point, "branch point") << ".\n"
            << "Time        " << short_number(summary.total_seconds) << " s: evaluation "
            << short_number(summary.evaluation_seconds) << " s, LU "
            << short_number(summary.lu_seconds) << " s, rest "
            << short_number(summary.total_seconds - summary.evaluation_seconds - summary.lu_seconds)
            << " s; " << short_number(seconds_per_point(curve)) << " s per point\n";
    }
}

void print_csv(const FollowedCurve& curve, std::ostream& out) {
    out << csv_field(curve.range.symbol);
    for (const std::string& symbol : curve.outputs) {
        out << ',' << csv_field(symbol);
    }
    out << ",arc_length,iterations,solves,point\n";
    for (const FollowedPoint& point : curve.points) {
        out << csv_number(point.value);
        for (const double value : point.outputs) {
            out << ',' << csv_number(value);
        }
        out << ',' << csv_number(point.arc_length) << ',' << point.iterations << ',' << point.solves
            << ',' << point_kind_code(point.kind) << '\n';
    }
}

nlohmann::ordered_json outputs_entry(const FollowedCurve& curve, const FollowedPoint& point) {
    nlohmann::ordered_json values = nlohmann::ordered_json::object();
    for (std::size_t index = 0; index < curve.outputs.size(); ++index) {
        values[curve.outputs[index]] = json_number(point.outputs[index]);
    }
    return values;
}

nlohmann::ordered_json point_entry(const FollowedCurve& curve, const FollowedPoint& point) {
    return json_record({{"value", json_number(point.value)},
                        {"point", point_kind_code(point.kind)},
                        {"arc_length", json_number(point.arc_length)},
                        {"iterations", point.iterations},
                        {"solves", point.solves},
                        {"outputs", outputs_entry(curve, point)}});
}

// {"value", "outputs", "arc_length"} of each point of `kind`.
nlohmann::ordered_json marked_points(const FollowedCurve& curve, CurvePointKind kind) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const FollowedPoint* point : points_of(curve, kind)) {
        list.push_back(json_record({{"value", json_number(point->value)},
                                    {"outputs", outputs_entry(curve, *point)},
                                    {"arc_length", json_number(point->arc_length)}}));
    }
    return list;
}

std::vector<JsonMember> curve_document(const FollowedCurve& curve) {
    const CurveSettings& settings = curve.settings;
    return {
        {"vary", curve.range.symbol},
        {"from", json_number(curve.range.from)},
        {"to", json_number(curve.range.to)},
        {"steps", curve.range.steps},
        {"follow", json_record({{"first_step", json_number(settings.first_step)},
                                {"min_step", json_number(settings.min_step)},
                                {"max_step", json_number(settings.max_step)},
                                {"max_points", settings.max_points}})},
        {"outputs", elements_of(curve.outputs, [](const std::string& symbol) { return symbol; })},
        {"points",
         elements_of(curve.points,
                     [&](const FollowedPoint& point) { return point_entry(curve, point); })},
        {"turning_points", marked_points(curve, CurvePointKind::turning_point)},
        {"branch_points", marked_points(curve, CurvePointKind::branch_point)},
        {"end",
         json_record({{"reason", curve_end_code(curve.end)}, {"message", curve.end_message}})},
        {"timing",
         json_record({{"total_seconds", json_number(curve.summary.total_seconds)},
                      {"evaluation_seconds", json_number(curve.summary.evaluation_seconds)},
                      {"lu_seconds", json_number(curve.summary.lu_seconds)},
                      {"seconds_per_point", json_number(seconds_per_point(curve))},
                      {"residual_evaluations", curve.summary.residual_evaluations},
                      {"jacobian_evaluations", curve.summary.jacobian_evaluations}})}};
}

}  // namespace

void write_followed_curve(const FollowedCurve& curve, OutputFormat format, std::ostream& out) {
    switch (format) {
        case OutputFormat::json:
            write_json_object(out, curve_document(curve));
            break;
        case OutputFormat::csv:
            print_csv(curve, out);
            break;
        case OutputFormat::text:
            print_text(curve, out);
            break;
    }
}

void plot_followed_curve(const FollowedCurve& curve, const std::string& path,
                         const std::string& title) {
    std::vector<SweepSeries> series;
    for (std::size_t index = 0; index < curve.outputs.size(); ++index) {
        SweepSeries one{curve.outputs[index], {}, {}, {}};
        for (const FollowedPoint& point : curve.points) {
            one.points.emplace_back(point.value, point.outputs[index]);
            if (point.kind == CurvePointKind::turning_point ||
                point.kind == CurvePointKind::branch_point) {
                one.marks.push_back({point.kind == CurvePointKind::turning_point
                                         ? SweepMarkKind::turning_point
                                         : SweepMarkKind::branch_point,
                                     point.value, point.outputs[index]});
            }
        }
        series.push_back(std::move(one));
    }
    write_sweep_plot(path, curve.range.symbol, series, title);
}
