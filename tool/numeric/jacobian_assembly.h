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
    // Sums the host's values (`host_values`: one per place, in nonzero
    // order) into `slot_values`, each slot's in nonzero order from 0.
    void assemble(const double* host_values, std::vector<double>& slot_values) const;

  private:
    CompressedColumns pattern_;
    // The nonzeros of slot s are sources_[source_starts_[s] ..
    // source_starts_[s + 1]), in nonzero order; without repeated places
    // each slot has one and source_starts_ stays empty.
    std::vector<int> source_starts_;
    std::vector<int> sources_;
};
