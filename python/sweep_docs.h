#pragma once

// The docstrings of Model.sweep and SweepResult.

constexpr const char* SWEEP_DOC =
    R"(sweep(vary, start, stop, steps, follow=False, fix=None, free=None, at=None, tol=1e-9, max_iter=100, min_step=None, max_step=None, max_points=None, force=False) -> SweepResult

Solves the model as the variable `vary` goes from `start` to `stop`, as
`quillon sweep --vary VARY=START:STOP:STEPS` does:
- follow=False: at steps + 1 equal steps, each solve from the last solution
  (a failed step is cut and covered in shorter ones); where a value fails
  after a converged one, the curve is followed there, and a turning point
  it meets is noted; a converged value off the branch of the one before is
  noted as a jump to another branch;
- follow=True: the curve of solutions is followed by arc length from
  `start`, through turning points, while `vary` stays between start and
  stop, until an unknown reaches a bound, the curve closes, or max_points
  points are made; (stop - start) / steps is the first step, min_step and
  max_step bound the steps (default: the first step / 1e6 and the first
  step), max_points the points (default: 10 * steps, at least 1000).
  Turning points (where the curve turns back in `vary`) and branch points
  (where another branch crosses it) are located and listed.
fix, free, at (starting values {symbol: value}), tol, max_iter and force
are solve()'s. Raises UsageError for an unknown symbol or equation, a
system that is not square, or steps that make no sense.)";

constexpr const char* SWEEP_RESULT_DOC = R"(The points of a sweep, in its order.

values: the varied variable's value at each point; x: every variable's
value there (points by variables, host order; NaN where a plain sweep's
solve failed); converged, iterations and solves per point; for a plain
sweep, status, stop_reason, message and note (None, or a dict with kind
'turning-point' or 'branch-jump', value and message) per point; for a
followed curve, arc_length and point ('start', 'step', 'turning-point',
'branch-point' or 'end') per point, and end ({'reason', 'message'}).
turning_points and branch_points hold values, x and arc_length of those
points. result["T"] is one variable's values at the points.)";
