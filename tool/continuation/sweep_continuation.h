#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model_solve.h"
#include "model_system.h"

// --vary SYMBOL=FROM:TO:STEPS: STEPS equal steps from FROM to TO, so STEPS + 1
// values, both ends included.
struct SweepRange {
    std::string symbol;
    double from = 0.0;
    double to = 0.0;
    int steps = 1;

    double value(int index) const;
};

// Throws UsageError when `text` is not of that form (STEPS a whole number
// from 1, FROM and TO finite).
SweepRange parse_sweep_range(const std::string& text);

// The smallest step tried is the way from the last solved value to the next
// value of the sweep / 2^MAX_STEP_HALVINGS.
constexpr int MAX_STEP_HALVINGS = 8;

// The outcome at one value of the sweep.
struct SweepPoint {
    double value = 0.0;
    ModelSolution result;  // of the last solve tried for this value
    int iterations = 0;    // over every solve tried for it
    int solves = 0;        // 1 when the step went in one, more when it was cut
};

// A value of the sweep already solved, to continue from.
struct SolvedValue {
    double value = 0.0;
    std::vector<double> solution;  // the unknowns, in column order
};

// Solves at values `first` to `last` of `range` in turn (numbered from 0,
// both included), the varied variable (host numbers `varied`, fixed in
// `model`'s system) set to the value and the solve started from the last value
// solved: `from` when given, else, until a value is solved, the model's
// starting point. When a solve fails, the step from the last solved value
// is halved and the way covered in shorter steps, each from the solution
// before it; after MAX_STEP_HALVINGS halvings the value is given up and the
// next one is tried from the last solution. A failure that shorter steps
// cannot mend (the least-squares point on the bounds, contradicting or
// dependent equations) gives the value up at once. `point` sees each value's
// outcome with the host's vectors at it.
void run_continuation(const ModelSystem& model, const std::vector<int>& varied,
                      const SweepRange& range, int first, int last,
                      const std::optional<SolvedValue>& from,
                      const std::function<void(const SweepPoint&)>& point);
