#pragma once

#include <functional>
#include <vector>

#include "sparse_lu.h"

// A square system F(x) = 0 whose Jacobian has a fixed sparse pattern.
class SquareSystem {
  public:
    virtual ~SquareSystem() = default;
    virtual const CompressedColumns& pattern() const = 0;
    // F(x), one value per row.
    virtual void residuals(const std::vector<double>& x, std::vector<double>& values) = 0;
    // The Jacobian at x, one value per slot of pattern().
    virtual void jacobian(const std::vector<double>& x, std::vector<double>& slot_values) = 0;
};

struct NewtonSettings {
    double tolerance = 1e-9;  // largest absolute residual accepted
    int max_iterations = 100;
};

// The state after one Newton step (iteration 0: the start).
struct IterationRecord {
    int iteration = 0;
    double residual_norm = 0.0;  // largest absolute residual
    double step_norm = 0.0;      // largest change of an unknown in the step
    double step_fraction = 0.0;  // share of the Newton step the line search took
    int worst_row = -1;          // row of the largest absolute residual
    int at_bounds = 0;           // unknowns sitting on a bound
};

enum class NewtonStop {
    converged,
    iteration_limit,
    non_finite_residuals,
    non_finite_jacobian,
    singular_jacobian,
    no_decrease,
};

struct NewtonOutcome {
    NewtonStop stop = NewtonStop::iteration_limit;
    std::vector<double> x;
    std::vector<IterationRecord> history;
    // What the stop concerns: the rows with a non-finite residual; the (row,
    // column) pairs with a non-finite derivative; for a singular Jacobian the
    // rows and columns that cannot be matched to each other, or else the
    // column KLU found without a pivot.
    std::vector<int> rows;
    std::vector<int> columns;
};

// Newton's method with a backtracking line search on the largest absolute
// residual; every trial point is projected into [lower, upper] (infinite
// bounds leave an unknown free), and so is the start. `observer` sees each
// record as soon as it is made.
NewtonOutcome solve_newton(SquareSystem& system, std::vector<double> start,
                           const std::vector<double>& lower, const std::vector<double>& upper,
                           const NewtonSettings& settings,
                           const std::function<void(const IterationRecord&)>& observer);
