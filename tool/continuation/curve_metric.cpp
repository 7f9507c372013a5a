#include "curve_metric.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

CurveMetric::CurveMetric(const std::vector<double>& start, double range)
    : range_(range / std::sqrt(std::max<double>(static_cast<double>(start.size()) - 1, 1.0))) {
    if (start.empty() || !(range > 0.0) || !std::isfinite(range)) {
        throw std::invalid_argument("a curve metric needs a point and a range above 0");
    }
    magnitudes_.assign(start.size() - 1, 1.0);
    weights_.assign(start.size(), range_);
    weights_.back() = 1.0;
    widen(start);
}

bool CurveMetric::widen(const std::vector<double>& point) {
    bool grew = false;
    for (std::size_t index = 0; index < magnitudes_.size(); ++index) {
        const double size = std::fabs(point[index]);
        if (size > magnitudes_[index] && std::isfinite(size)) {
            magnitudes_[index] = size;
            weights_[index] = range_ / size;
            grew = true;
        }
    }
    return grew;
}

double CurveMetric::dot(const std::vector<double>& left, const std::vector<double>& right) const {
    double sum = 0.0;
    for (std::size_t index = 0; index < weights_.size(); ++index) {
        const double weight = weights_[index];
        sum += weight * left[index] * (weight * right[index]);
    }
    return sum;
}

double CurveMetric::norm(const std::vector<double>& values) const {
    return std::sqrt(dot(values, values));
}

double CurveMetric::distance(const std::vector<double>& from, const std::vector<double>& to) const {
    double sum = 0.0;
    for (std::size_t index = 0; index < weights_.size(); ++index) {
        const double change = weights_[index] * (to[index] - from[index]);
        sum += change * change;
    }
    return std::sqrt(sum);
}

void CurveMetric::weighted(const std::vector<double>& values, std::vector<double>& row) const {
    row.resize(weights_.size());
    for (std::size_t index = 0; index < weights_.size(); ++index) {
        row[index] = weights_[index] * weights_[index] * values[index];
    }
}
