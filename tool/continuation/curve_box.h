#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// A coordinate of a curve's points and the value of an edge of the box the
// curve is followed in.
struct BoxEdge {
    std::size_t coordinate;
    double edge;
};

// The box a curve is followed in: the parameter's range (the last
// coordinate) and the unknowns' bounds (infinite for none).
class CurveBox {
  public:
    // `lower_bounds`, `upper_bounds`: n values each, or empty for none.
    CurveBox(double lower, double upper, std::vector<double> lower_bounds,
             std::vector<double> upper_bounds);

    // How far along `direction` from `y` before an unknown leaves its
    // bounds; infinite when it heads for none.
    double room(const std::vector<double>& y, const std::vector<double>& direction) const;
    // The bound that `direction` from `y` reaches first; none when it heads
    // for none.
    std::optional<BoxEdge> nearest_bound(const std::vector<double>& y,
                                         const std::vector<double>& direction) const;
    // Of the edges that the chord from `from` to `to` crosses (`to` outside
    // them), the one it crosses first.
    std::optional<BoxEdge> first_crossing(const std::vector<double>& from,
                                          const std::vector<double>& to) const;
    bool is_upper(const BoxEdge& edge) const;

  private:
    double lower_;
    double upper_;
    std::vector<double> lower_bounds_;
    std::vector<double> upper_bounds_;
};
