#include "null_directions.h"

#include <cmath>

#include "convergence_scale.h"
#include "levenberg_marquardt.h"
#include "singularity.h"

namespace {

// The damping of the augmented system, against singular values of A near
// 1: the iteration tells apart singular values well below its square root.
constexpr double DAMPING = 1e-10;
constexpr int ITERATIONS = 4;
// The shares of the largest weight at which unknowns and equations are
// named with a null direction.
constexpr double MOVING_SHARE = 0.1;
constexpr double DEPENDENT_SHARE = 1e-3;

// Positions of `weights` at or above `share` of the largest magnitude, in
// order.
std::vector<int> weighing(const std::vector<double>& weights, double share) {
    double largest = 0.0;
    for (const double weight : weights) {
        largest = std::fmax(largest, std::fabs(weight));
    }
    std::vector<int> positions;
    for (std::size_t index = 0; index < weights.size(); ++index) {
        if (largest > 0.0 && std::fabs(weights[index]) >= share * largest) {
            positions.push_back(static_cast<int>(index));
        }
    }
    return positions;
}

// Divides by the Euclidean length; false when that is 0 or not finite.
bool normalise(std::vector<double>& vector) {
    double squares = 0.0;
    for (const double value : vector) {
        squares += value * value;
    }
    const double length = std::sqrt(squares);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return false;
    }
    for (double& value : vector) {
        value /= length;
    }
    return true;
}

// `vector` in magnitudes, the largest 1.
std::vector<double> weights_of(const std::vector<double>& vector) {
    double largest = 0.0;
    for (const double value : vector) {
        largest = std::fmax(largest, std::fabs(value));
    }
    std::vector<double> weights(vector.size());
    for (std::size_t index = 0; index < vector.size(); ++index) {
        weights[index] = std::fabs(vector[index]) / largest;
    }
    return weights;
}

// Inverse iteration on the top (right) or the bottom (left) half of the
// augmented system; empty when a vector vanishes.
std::vector<double> iterate(LevenbergMarquardt& augmented, std::size_t size, bool right) {
    std::vector<double> vector = irregular_start(size);
    std::vector<double> rhs;
    for (int step = 0; step < ITERATIONS && normalise(vector); ++step) {
        rhs.assign(2 * size, 0.0);
        std::copy(vector.begin(), vector.end(),
                  rhs.begin() + (right ? 0 : static_cast<long>(size)));
        augmented.solve(rhs);
        const auto half = rhs.begin() + (right ? 0 : static_cast<long>(size));
        std::copy(half, half + static_cast<long>(size), vector.begin());
    }
    return normalise(vector) ? vector : std::vector<double>();
}

}  // namespace

std::vector<double> irregular_start(std::size_t size) {
    constexpr double golden = 0.6180339887498949;
    std::vector<double> start(size);
    for (std::size_t i = 0; i < size; ++i) {
        const double turn = static_cast<double>(i) * golden;
        start[i] = 1.0 + (turn - std::floor(turn));
    }
    return start;
}

NullDirections null_directions(const CompressedColumns& pattern,
                               const std::vector<double>& slot_values,
                               const std::vector<double>& row_weights) {
    const auto size = static_cast<std::size_t>(pattern.size);
    std::vector<double> equilibrated = slot_values;
    const Equilibration scales = equilibrate(pattern, equilibrated, row_weights);
    LevenbergMarquardt augmented(pattern);
    NullDirections found;
    const std::vector<double> ones(size, 1.0);
    if (size == 0 || !augmented.factor(equilibrated, ones, ones, DAMPING)) {
        return found;
    }
    const std::vector<double> right = iterate(augmented, size, true);
    const std::vector<double> left = iterate(augmented, size, false);
    if (right.empty() || left.empty()) {
        return found;
    }
    std::vector<double> unknowns(size);
    for (std::size_t column = 0; column < size; ++column) {
        unknowns[column] = scales.columns[column] * right[column];
    }
    double largest = 0.0;
    for (const double value : unknowns) {
        largest = std::fmax(largest, std::fabs(value));
    }
    for (double& value : unknowns) {
        value /= largest;
    }
    found.unknowns = std::move(unknowns);
    found.rows = weights_of(left);
    found.row_combination = left;
    found.row_scales = scales.rows;
    return found;
}

std::vector<int> moving_unknowns(const std::vector<double>& direction,
                                 const std::vector<double>& x) {
    std::vector<double> relative(direction.size());
    for (std::size_t index = 0; index < direction.size(); ++index) {
        relative[index] = direction[index] / unknown_magnitude(x[index]);
    }
    return weighing(relative, MOVING_SHARE);
}

std::vector<int> dependent_equations(const std::vector<double>& rows) {
    return weighing(rows, DEPENDENT_SHARE);
}
