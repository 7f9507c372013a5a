#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// An unknown that ends on one of its bounds.
struct BoundContact {
    int column = 0;
    bool upper = false;
};

// The unknowns' bounds, [lower, upper] each (infinite bounds leave an
// unknown free; equal bounds hold it).
class BoxedUnknowns {
  public:
    // The vectors must outlive the object.
    BoxedUnknowns(const std::vector<double>& lower, const std::vector<double>& upper)
        : lower_(lower), upper_(upper) {}

    // Bounds the wrong way round (the host refuses them) keep the upper one.
    double projected(std::size_t index, double value) const {
        return std::min(std::max(value, lower_[index]), upper_[index]);
    }

    std::vector<double> projected(std::vector<double> x) const {
        for (std::size_t index = 0; index < x.size(); ++index) {
            x[index] = projected(index, x[index]);
        }
        return x;
    }

    double lower(std::size_t index) const { return lower_[index]; }
    double upper(std::size_t index) const { return upper_[index]; }

    bool on_bound(std::size_t index, double value) const {
        return value == lower_[index] || value == upper_[index];
    }

    // The unknowns of `x` on a bound, in column order.
    std::vector<BoundContact> contacts(const std::vector<double>& x) const {
        std::vector<BoundContact> found;
        for (std::size_t index = 0; index < x.size(); ++index) {
            if (on_bound(index, x[index])) {
                found.push_back({static_cast<int>(index), x[index] == upper_[index]});
            }
        }
        return found;
    }

  private:
    const std::vector<double>& lower_;
    const std::vector<double>& upper_;
};
