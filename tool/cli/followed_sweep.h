#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

#include "command_options.h"
#include "command_table.h"
#include "prepared_system.h"
#include "sweep_continuation.h"

// `sweep --follow` and its steps: --min-step, --max-step, --max-points.
void add_follow_options(CLI::App& command, SweepOptions& options);

// `quillon sweep --follow`: solves at FROM as a plain sweep does, then follows
// the curve of solutions by arc length until the varied variable leaves
// [FROM, TO], an unknown reaches a bound, the curve closes, or --max-points;
// prints it in the chosen format (and --plot), each point's outputs (named
// `output_symbols`) what `outputs_here` answers at it. Answers 0 when the
// curve was followed to its end, 1 when not.
int run_followed_sweep(const SweepOptions& options, const SweepRange& range,
                       PreparedSystem& prepared, const std::vector<int>& varied,
                       const std::vector<std::string>& output_symbols,
                       const std::function<std::vector<double>()>& outputs_here,
                       const CommandContext& context);
