#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// How far apart two points of a curve are. The parameter counts in its own
// units; the unknowns count by the root mean square of their changes, each
// relative to its magnitude (the largest |x_j| it has had along the curve,
// at least 1, as the solver measures changes), times the parameter's whole
// range: changing every unknown by its own size weighs as much as crossing
// the range, whatever their number. Lengths along the curve, and so the
// steps, are in the parameter's units: where the unknowns stay put, the arc
// length is the parameter's change. The magnitudes only grow, so an unknown
// that starts at 0 and grows large along the curve does not take every step
// for itself.
class CurveMetric {
  public:
    // `start`: the first point (n unknowns, then the parameter); `range`:
    // the parameter's range, above 0.
    CurveMetric(const std::vector<double>& start, double range);

    double dot(const std::vector<double>& left, const std::vector<double>& right) const;
    double norm(const std::vector<double>& values) const;
    double distance(const std::vector<double>& from, const std::vector<double>& to) const;
    // Widens the magnitudes to the unknowns of `point`; true when one grew.
    bool widen(const std::vector<double>& point);
    // W^2 v: the row whose product with a point is its dot product with v.
    void weighted(const std::vector<double>& values, std::vector<double>& row) const;
    std::size_t size() const { return weights_.size(); }
    // |W_j v_j|: how much of v's length coordinate j makes.
    double share(const std::vector<double>& values, std::size_t coordinate) const {
        return std::fabs(weights_[coordinate] * values[coordinate]);
    }

  private:
    double range_;                    // over the square root of the number of unknowns
    std::vector<double> magnitudes_;  // of the unknowns
    std::vector<double> weights_;     // W, one per coordinate
};
