#pragma once

#include <vector>

// Watches the full Newton steps for the mark of a singular root: where the
// Jacobian is singular at the root, Newton's iterates close in only linearly,
// each step r times the one before it along one direction (r = 1/2 at a
// double root). Then the error is s r / (1 - r) beyond the next Newton point,
// so the point x + s / (1 - r) is where the iterates are heading.
class LinearConvergenceWatch {
  public:
    // A full Newton step was taken from a point, measured relative to the
    // unknowns' magnitudes there.
    void newton_step_taken(const std::vector<double>& relative_step);
    // Any other step: the pattern, if there was one, is broken.
    void other_step_taken();

    // For the Newton step at the current point (relative as above): 1 / (1 - r)
    // when it continues two full Newton steps that each shrank by the same
    // ratio r along the same direction; 0 when there is no such pattern.
    double extrapolation_factor(const std::vector<double>& relative_step) const;

  private:
    // The last two full Newton steps taken in a row, the older first; their
    // vectors are passed on and refilled, so a solve allocates them once.
    std::vector<double> older_;
    std::vector<double> newer_;
};
