#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "command_options.h"
#include "command_table.h"
#include "curve_tracer.h"
#include "prepared_system.h"
#include "sweep_continuation.h"

// `sweep --follow` and its steps: --min-step, --max-step, --max-points.
void add_follow_options(CLI::App& command, SweepOptions& options);

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
    std::vector<std::string> outputs;  // the output symbols
    std::vector<FollowedPoint> points;
    CurveEnd end = CurveEnd::start_failed;
    std::string end_message;
    CurveSummary summary;   // of the trace; none when the start's solve failed
    bool complete() const;  // followed to its end: out of the range, closed or on a bound
};

// `quillon sweep --follow`: solves at FROM as a plain sweep does, then follows
// the curve of solutions by arc length until the varied variable leaves
// [FROM, TO], an unknown reaches a bound, the curve closes, or --max-points;
// prints it in the chosen format (and --plot). Answers 0 when the curve was
// followed to its end, 1 when not.
int run_followed_sweep(const SweepOptions& options, const SweepRange& range,
                       PreparedSystem& prepared, const std::vector<int>& varied,
                       const std::vector<std::string>& output_symbols,
                       const std::vector<int>& output_numbers, const CommandContext& context);
