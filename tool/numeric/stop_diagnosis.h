#pragma once

#include <string>
#include <vector>

#include "boxed_unknowns.h"
#include "sparse_lu.h"

// What a solve that did not converge finds where it stopped: the cause the
// stop's words lead with, and the unknowns and equations that show it.
enum class StopCause {
    none,            // converged, or a stop that names its own cause
    fault,           // the system could not be evaluated
    diverging,       // unknowns grew without bound
    contradicting,   // dependent equations whose residuals cannot all vanish
    dependent,       // the Jacobian is singular: dependent equations
    bounds,          // the merit's least point lies on the bounds
    local_minimum,   // a minimum of the merit that is no root
    round_off,       // the residuals are at round-off of their scales
    progressing,     // the iteration limit came while the residuals still fell steadily
    few_iterations,  // the iteration limit came too early to tell
    stalled,         // none of these: the iterates made no steady progress
};

// "", "evaluation-fault", "diverging", "contradicting-equations",
// "dependent-equations", "bounds", "local-minimum", "round-off",
// "progressing", "few-iterations", "stalled".
std::string cause_code(StopCause cause);

struct StopDiagnosis {
    StopCause cause = StopCause::none;
    // Unknowns that grew without bound over the iterations, and the
    // equations that carry them: those with two or more of them (a loop),
    // else those with one.
    std::vector<int> growing_columns;
    std::vector<int> loop_rows;
    // Unknowns on a bound that the merit's gradient pushes outward (not
    // those held by equal bounds).
    std::vector<int> held_columns;
    // Where the Jacobian is singular (see singularity.h): the equations of
    // its near-null combination of rows and the unknowns of its null
    // direction, whether the residuals lie along that combination (the
    // equations contradict each other there), and whether it was the best
    // point rather than the final one that showed it.
    std::vector<int> dependent_rows;
    std::vector<int> null_columns;
    bool contradicting = false;
    bool at_best_point = false;
    // The Jacobian is regular at the start: the rows line up only where the
    // solve went, as at a minimum of the merit that is no root.
    bool regular_at_start = false;
};

// The point a solve stopped at, or another it examines: the Jacobian's
// values over `pattern`, the residuals, the merit's row weights W, the
// unknowns; the start and a point about halfway through the iterations.
struct ExaminedPoint {
    const CompressedColumns& pattern;
    const std::vector<double>& slot_values;
    const std::vector<double>& residuals;
    const std::vector<double>& row_weights;
    const std::vector<double>& x;
};

// The unknowns that grew without bound between `start` and x, passing
// `halfway` on the way, after `iterations` iterations; and the equations
// that carry them.
void find_growth(const ExaminedPoint& point, const std::vector<double>& start,
                 const std::vector<double>& halfway, int iterations, StopDiagnosis& found);
// The unknowns of x on a bound that the gradient of ||W F||^2 pushes outward.
void find_held(const ExaminedPoint& point, const BoxedUnknowns& box, StopDiagnosis& found);
// Whether the Jacobian is singular at the point, and if so its dependent
// equations, null direction and whether they contradict; answers whether it
// is singular.
bool find_dependence(const ExaminedPoint& point, StopDiagnosis& found);
