#pragma once

#include <vector>

// The sums that compare two steps, offered one element at a time so that a
// pass over the unknowns can gather them with other measures.
class StepComparison {
  public:
    void offer(double earlier, double later) {
        earlier_squares_ += earlier * earlier;
        later_squares_ += later * later;
        product_ += earlier * later;
    }
    // The ratio |later| / |earlier| when the two steps point the same way;
    // NaN when they do not, or when nothing was offered.
    double steady_ratio() const;

  private:
    double earlier_squares_ = 0.0;
    double later_squares_ = 0.0;
    double product_ = 0.0;
};

// Watches the full Newton steps for the mark of a singular root: where the
// Jacobian is singular at the root, Newton's iterates close in only linearly,
// each step r times the one before it along one direction (r = 1/2 at a
// double root). Then the error is s r / (1 - r) beyond the next Newton point,
// so the point x + s / (1 - r) is where the iterates are heading.
class LinearConvergenceWatch {
  public:
    // Steps are measured relative to the unknowns' magnitudes where they
    // start. The caller compares each Newton step with `last_step()`, the last
    // full Newton step taken (empty when the last step was another), while it
    // makes the step: the comparison's earlier elements are the last step's.
    const std::vector<double>& last_step() const { return newer_; }

    // A full Newton step was taken. Takes over its vector; `relative_step` is
    // left holding a vector to refill, so a solve allocates the steps once.
    void newton_step_taken(std::vector<double>& relative_step, const StepComparison& with_last);
    // Any other step: the pattern, if there was one, is broken.
    void other_step_taken();

    // For the Newton step at the current point: 1 / (1 - r) when it continues
    // two full Newton steps that each shrank by the same ratio r along the
    // same direction; 0 when there is no such pattern.
    double extrapolation_factor(const StepComparison& with_last) const;

  private:
    // The last full Newton step, and the steady ratio between the one before
    // it and it (NaN when there was none before it or they do not align).
    std::vector<double> newer_;
    double newer_ratio_ = 0.0;
};
