#pragma once

#include <string>
#include <vector>

#include <optional>

#include "output_choice.h"
#include "sweep_continuation.h"
#include "sweep_watch.h"

// One row of the sweep: the value, the outputs (when it converged) and how.
struct SweepRow {
    double value = 0.0;
    bool converged = false;
    std::vector<double> outputs;
    std::string verdict;
    std::string stop_reason;
    std::string cause;  // empty for a value that converged
    std::string message;
    int iterations = 0;
    int solves = 0;
    std::optional<SweepNote> note;  // what the curve did there
};

// The values of the chosen outputs at the point the host's vectors hold.
std::vector<double> chosen_values(const OutputChoice& outputs, const LoadedModel& loaded);

// The row of `point`, the outputs read from the host's vectors at it.
SweepRow row_of(const SweepPoint& point, const OutputChoice& outputs, const LoadedModel& loaded);
