#pragma once

#include <cstddef>
#include <cstdint>

// The host's value vector seen through host variable numbers: number n is
// element n - 1. A number outside the vector reads as 0.0, like a reference to
// no variable, rather than reading memory that is not the vector's.
class OneBasedValues {
  public:
    OneBasedValues(const double* elements, std::size_t count)
        : elements_(elements), count_(count) {}

    double operator[](std::int32_t number) const {
        const bool inside = number >= 1 && static_cast<std::size_t>(number) <= count_;
        return inside ? elements_[number - 1] : 0.0;
    }

  private:
    const double* elements_;  // count_ values, owned by the host
    std::size_t count_;
};
