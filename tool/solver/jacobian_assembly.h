#pragma once

#include <vector>

#include "sparse_lu.h"

// Where one host nonzero goes in the square matrix of a solve: its row (the
// equation, from 0) and column (the unknown, from 0), or a column of -1 when
// it takes no part (a fixed variable, or no variable at all).
struct NonzeroPlace {
    int row;
    int column;
};

// The host's nonzeros gathered into a compressed-column matrix over the
// unknowns. Nonzeros with the same row and column share one slot and their
// values add up, as the derivative of a variable listed twice is the sum.
class JacobianAssembly {
  public:
    // `places` holds one place per host nonzero, in nonzero order.
    JacobianAssembly(int size, const std::vector<NonzeroPlace>& places);

    const CompressedColumns& pattern() const { return pattern_; }
    // The slot of each host nonzero (in nonzero order), -1 when it takes no part.
    const std::vector<int>& slots() const { return slot_of_nonzero_; }
    // Sums the host's values (one per nonzero) into `slot_values`.
    void assemble(const std::vector<double>& host_values, std::vector<double>& slot_values) const;

  private:
    CompressedColumns pattern_;
    std::vector<int> slot_of_nonzero_;
};
