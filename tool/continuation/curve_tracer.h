#pragma once

#include <functional>
#include <limits>
#include <vector>

#include "curve_system.h"

// How a curve is followed: by pseudo-arclength continuation (Keller), each
// step predicted along the tangent and corrected by Newton's method on the
// bordered system, the arc-length condition its last row.
struct CurveSettings {
    // The parameter's range; the curve is followed until the parameter
    // leaves it. The start's parameter lies within it.
    double lower = 0.0;
    double upper = 1.0;
    // +1: the curve leaves its start toward larger values of the parameter;
    // -1: toward smaller ones.
    int direction = 1;
    // Step lengths along the curve, in the parameter's units (see CurveMetric).
    double first_step = 0.1;
    double min_step = 1e-6;
    double max_step = 0.1;
    // The trace ends after this many points past the start.
    int max_points = 1000;
    // The solver's tolerance, for every point's correction and for where
    // turning and branch points are located.
    double tolerance = 1e-9;
    // The unknowns' bounds (n values each; empty: none); the curve ends
    // where an unknown reaches one.
    std::vector<double> lower_bounds;
    std::vector<double> upper_bounds;
};

// What a point of the trace is.
enum class CurvePointKind {
    start,          // the start, corrected at its parameter
    regular,        // a step's point
    turning_point,  // the parameter's tangent component vanishes: the curve turns back
    branch_point,   // the bordered determinant changes sign: another branch crosses
    end,            // where the trace ends: the range's edge, a bound, or back at the start
};

// One point of the trace, as the caller sees it while it is made.
struct CurvePoint {
    const std::vector<double>& y;        // the unknowns, then the parameter
    const std::vector<double>& tangent;  // of length 1 in the metric, the way the trace goes
    double arc_length;                   // from the start, along the points
    int steps;                           // Newton steps spent on it, failed tries included
    int corrections;                     // corrections tried for it
    CurvePointKind kind;
};

enum class CurveEnd {
    left_range,      // the parameter reached the range's edge: the last point lies on it
    closed,          // the curve came back to its start
    bound,           // an unknown reached one of its bounds: the last point lies on it
    max_points,      // settings.max_points points were made
    step_too_small,  // corrections failed with steps down to settings.min_step
    stopped,         // the caller asked to stop
    start_failed,    // the start could not be corrected, or has no tangent
};

struct CurveSummary {
    CurveEnd end = CurveEnd::start_failed;
    // For CurveEnd::bound: the unknown on its bound, and which bound.
    int bound_column = -1;
    bool upper_bound = false;
    int points = 0;  // past the start, located ones included
    int turning_points = 0;
    int branch_points = 0;
    int rejected_steps = 0;
    int residual_evaluations = 0;
    int jacobian_evaluations = 0;
    // Wall-clock seconds: the system's evaluations, the bordered LU, and the
    // whole trace (the caller's handling of the points left out).
    double evaluation_seconds = 0.0;
    double lu_seconds = 0.0;
    double total_seconds = 0.0;
};

// Follows the curve of `system` from `start` (n unknowns, then the
// parameter), first corrected at its parameter. `point` sees every point in
// the order of the curve, located turning and branch points between the
// steps' points; when it answers false the trace stops there.
CurveSummary trace_curve(CurveSystem& system, const std::vector<double>& start,
                         const CurveSettings& settings,
                         const std::function<bool(const CurvePoint&)>& point);
