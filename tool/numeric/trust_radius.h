#pragma once

// The trust region's radius, a bound on the scaled length ||D p|| of a step,
// and Powell's policy for it (as in MINPACK): a trial step is accepted when
// the merit falls by at least a small share of the fall the linear model
// predicted; the region shrinks after a poor prediction and grows after a
// good one; a trial whose residuals cannot be used shrinks it harder.
class TrustRadius {
  public:
    // The first radius: FIRST_RADIUS_FACTOR times `scaled_magnitudes`, the
    // scaled length of the unknowns' magnitudes at the start.
    void start(double scaled_magnitudes);
    bool started() const { return radius_ > 0.0; }
    double value() const { return radius_; }

    // Whether a trial step whose actual fall of the merit is `ratio` times
    // the predicted one is taken.
    static bool acceptable(double ratio);
    // A step of scaled length `length` was taken with `ratio`.
    void accepted(double ratio, double length);
    // A step of scaled length `length` was not taken: its ratio was too low.
    void rejected(double length);
    // The residuals at the trial point were not finite, or could not be
    // evaluated.
    void unusable(double length);

  private:
    double radius_ = 0.0;
};
