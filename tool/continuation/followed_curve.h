#pragma once

#include <functional>
#include <string>
#include <vector>

#include "curve_tracer.h"
#include "curve_wording.h"
#include "model_system.h"
#include "sweep_continuation.h"

// The codes outputs name the kinds of points and ends by: "start", "step",
// "turning-point", "branch-point", "end"; "left-range", "closed", "bound",
// "max-points", "step-too-small", "stopped", "start-failed".
const char* point_kind_code(CurvePointKind kind);
const char* curve_end_code(CurveEnd end);

// How far and how finely a curve is followed, as a caller asks; 0 (or
// below) for the defaults, which come from the sweep's STEPS.
struct FollowRequest {
    double min_step = 0.0;
    double max_step = 0.0;
    int max_points = 0;
};

// One point of a followed curve as the outputs show it.
struct FollowedPoint {
    double value = 0.0;  // the varied variable's
    std::vector<double> outputs;
    double arc_length = 0.0;
    int iterations = 0;  // Newton steps of its corrections
    int solves = 0;      // corrections tried for it
    CurvePointKind kind = CurvePointKind::regular;
};

// A curve followed from the sweep's first value, with how it ended.
struct FollowedCurve {
    SweepRange range;
    CurveSettings settings;
    std::vector<std::string> outputs;  // the symbols of the points' outputs
    std::vector<FollowedPoint> points;
    CurveEnd end = CurveEnd::start_failed;
    std::string end_message;
    CurveSummary summary;  // of the trace; none when the start's solve failed
    // Followed to its end: out of the range, closed, or on a bound.
    bool complete() const;
};

// The settings that follow the curve of `model` within `range` (from FROM
// toward TO, the first step |TO - FROM| / STEPS): the steps and points
// asked, else the defaults (the longest step the first, the shortest its
// millionth part, 10 * STEPS points and at least 1000), the solver's
// tolerance, the unknowns' bounds. Throws UsageError, in the caller's
// wording, when FROM and TO are one value or the steps are the wrong way
// round.
CurveSettings follow_settings(const ModelSystem& model, const SweepRange& range,
                              const FollowRequest& request, const CurveWording& wording = {});

// Solves `model` at the range's first value from its starting point, as a
// plain sweep does, then follows the curve of solutions by arc length with
// `settings`; each point's outputs (named `outputs`) are what `outputs_here`
// answers while the host's vectors hold the point. The end is said in the
// caller's wording.
FollowedCurve follow_model_curve(const ModelSystem& model, const std::vector<int>& varied,
                                 const SweepRange& range, const CurveSettings& settings,
                                 const std::vector<std::string>& outputs,
                                 const std::function<std::vector<double>()>& outputs_here,
                                 const CurveWording& wording = {});
