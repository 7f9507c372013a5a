#include "curve_box.h"

#include <cmath>
#include <limits>

CurveBox::CurveBox(double lower, double upper, std::vector<double> lower_bounds,
                   std::vector<double> upper_bounds)
    : lower_(lower),
      upper_(upper),
      lower_bounds_(std::move(lower_bounds)),
      upper_bounds_(std::move(upper_bounds)) {}

std::optional<BoxEdge> CurveBox::nearest_bound(const std::vector<double>& y,
                                               const std::vector<double>& direction) const {
    std::optional<BoxEdge> nearest;
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t column = 0; column < lower_bounds_.size(); ++column) {
        const double heading = direction[column];
        const double edge = heading > 0 ? upper_bounds_[column] : lower_bounds_[column];
        if (heading != 0.0 && std::isfinite(edge)) {
            const double room = std::max((edge - y[column]) / heading, 0.0);
            if (room < least) {
                least = room;
                nearest = BoxEdge{column, edge};
            }
        }
    }
    return nearest;
}

double CurveBox::room(const std::vector<double>& y, const std::vector<double>& direction) const {
    const std::optional<BoxEdge> nearest = nearest_bound(y, direction);
    if (!nearest) {
        return std::numeric_limits<double>::infinity();
    }
    const std::size_t c = nearest->coordinate;
    return std::max((nearest->edge - y[c]) / direction[c], 0.0);
}

std::optional<BoxEdge> CurveBox::first_crossing(const std::vector<double>& from,
                                                const std::vector<double>& to) const {
    std::optional<BoxEdge> first;
    double earliest = std::numeric_limits<double>::infinity();
    const auto offer = [&](std::size_t coordinate, double lower, double upper) {
        const double value = to[coordinate];
        if (value >= lower && value <= upper) {
            return;
        }
        const double edge = value < lower ? lower : upper;
        const double share = (edge - from[coordinate]) / (value - from[coordinate]);
        if (share < earliest) {
            earliest = share;
            first = BoxEdge{coordinate, edge};
        }
    };
    offer(to.size() - 1, lower_, upper_);
    for (std::size_t column = 0; column < lower_bounds_.size(); ++column) {
        offer(column, lower_bounds_[column], upper_bounds_[column]);
    }
    return first;
}

bool CurveBox::is_upper(const BoxEdge& edge) const {
    return edge.coordinate < upper_bounds_.size() ? edge.edge == upper_bounds_[edge.coordinate]
                                                  : edge.edge == upper_;
}
