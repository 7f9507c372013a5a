#include "curve_probe.h"

#include <algorithm>
#include <cmath>

namespace {

// Chords count as off their tangents beyond the tangents' own angle plus
// this (radians).
constexpr double OFF_TANGENT_MARGIN = 0.2;
// A probe's first step, its longest and its shortest, as shares of the way
// to its target; and its most points.
constexpr double PROBE_FIRST_STEP = 0.125;
constexpr double PROBE_MAX_STEP = 0.25;
constexpr double PROBE_MIN_STEP = 1e-6;
constexpr int PROBE_MAX_POINTS = 200;
// Points of one branch closer than this share of the chord are the same.
constexpr double SAME_POINT_SHARE = 1e-3;

double angle_between(const CurveMetric& metric, const std::vector<double>& left,
                     const std::vector<double>& right) {
    const double lengths = metric.norm(left) * metric.norm(right);
    if (!(lengths > 0.0)) {
        return 0.0;
    }
    return std::acos(std::clamp(metric.dot(left, right) / lengths, -1.0, 1.0));
}

}  // namespace

CurveProbe::CurveProbe(CurveSystem& system, const std::vector<double>& first,
                       const CurveSettings& settings)
    : system_(system),
      settings_(settings),
      metric_(first, settings.upper - settings.lower),
      corrector_(system, metric_, settings.tolerance) {}

bool CurveProbe::tangent(const std::vector<double>& y, int direction,
                         std::vector<double>& tangent) {
    metric_.widen(y);
    const std::size_t parameter = y.size() - 1;
    row_.assign(y.size(), 0.0);
    row_[parameter] = 1.0;
    if (!corrector_.linearize(y, row_, static_cast<int>(parameter))) {
        return false;
    }
    corrector_.direction(tangent);
    const double length = metric_.norm(tangent);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return false;
    }
    const double sign = tangent[parameter] * direction < 0.0 ? -1.0 : 1.0;
    for (double& component : tangent) {
        component *= sign / length;
    }
    return true;
}

bool CurveProbe::chord_off_tangents(const std::vector<double>& from,
                                    const std::vector<double>& from_tangent,
                                    const std::vector<double>& to,
                                    const std::vector<double>& to_tangent) const {
    std::vector<double> chord(from.size());
    for (std::size_t index = 0; index < from.size(); ++index) {
        chord[index] = to[index] - from[index];
    }
    const double turn = angle_between(metric_, from_tangent, to_tangent) + OFF_TANGENT_MARGIN;
    return angle_between(metric_, chord, from_tangent) > turn &&
           angle_between(metric_, chord, to_tangent) > turn;
}

CurveProbe::Course CurveProbe::follow(const std::vector<double>& from, double target) {
    const double start = from.back();
    CurveSettings probe = settings_;
    probe.lower = std::min(start, target);
    probe.upper = std::max(start, target);
    probe.direction = target > start ? 1 : -1;
    const double way = probe.upper - probe.lower;
    probe.first_step = PROBE_FIRST_STEP * way;
    probe.max_step = PROBE_MAX_STEP * way;
    probe.min_step = PROBE_MIN_STEP * way;
    probe.max_points = PROBE_MAX_POINTS;
    Course course;
    if (!(way > 0.0)) {
        return course;
    }
    const CurveSummary summary = trace_curve(system_, from, probe, [&](const CurvePoint& point) {
        if (point.kind == CurvePointKind::turning_point) {
            course = {Course::Outcome::turns, point.y};
            return false;
        }
        if (point.kind == CurvePointKind::end && point.y.back() == target) {
            course = {Course::Outcome::reaches, point.y};
        }
        return true;
    });
    if (summary.end != CurveEnd::stopped && summary.end != CurveEnd::left_range) {
        course.outcome = Course::Outcome::lost;
    }
    return course;
}

bool CurveProbe::same_point(const std::vector<double>& left, const std::vector<double>& right,
                            double reach) const {
    return metric_.distance(left, right) <= SAME_POINT_SHARE * reach;
}
