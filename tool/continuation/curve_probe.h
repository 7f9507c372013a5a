#pragma once

#include <vector>

#include "curve_corrector.h"
#include "curve_metric.h"
#include "curve_system.h"
#include "curve_tracer.h"

// What a plain sweep can learn of the curve its solutions lie on: the
// tangent at a solution, whether two solutions lie on one branch, and
// where the branch of a solution goes.
class CurveProbe {
  public:
    // `first`: the sweep's first point, and `range` its whole range (> 0),
    // which set the metric the tangents are compared in; `settings` gives
    // the tolerance and the unknowns' bounds for the probes.
    CurveProbe(CurveSystem& system, const std::vector<double>& first,
               const CurveSettings& settings);

    // The tangent of length 1 at `y`, a converged solution, turned
    // toward larger values of the parameter when `direction` is +1, smaller
    // when -1; false when it is not defined there (a singular Jacobian).
    bool tangent(const std::vector<double>& y, int direction, std::vector<double>& tangent);

    // Whether the chord from `from` to `to` leaves both points' tangents at
    // an angle wider than they make with each other (by a margin): the
    // points look like they lie on different branches.
    bool chord_off_tangents(const std::vector<double>& from,
                            const std::vector<double>& from_tangent, const std::vector<double>& to,
                            const std::vector<double>& to_tangent) const;

    // Where the branch through `from` goes on the way to the parameter
    // value `target`: the first turning point, or the point at `target`.
    struct Course {
        enum class Outcome { turns, reaches, lost } outcome = Outcome::lost;
        std::vector<double> point;  // the turning point, or the point at target
    };
    Course follow(const std::vector<double>& from, double target);

    // Whether `left` and `right` are the same point of a branch, as far as
    // corrections to the tolerance can tell, against the chord `reach`.
    bool same_point(const std::vector<double>& left, const std::vector<double>& right,
                    double reach) const;
    double distance(const std::vector<double>& from, const std::vector<double>& to) const {
        return metric_.distance(from, to);
    }

  private:
    CurveSystem& system_;
    CurveSettings settings_;
    CurveMetric metric_;
    CurveCorrector corrector_;
    std::vector<double> row_;
};
