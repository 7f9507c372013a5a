#pragma once

#include <vector>

#include "sparse_lu.h"

// A square system F(x) = 0 whose Jacobian has a fixed sparse pattern: what the
// nonlinear solver needs of a model. The host-backed system is one; the unit
// tests define small ones in memory.
class SquareSystem {
  public:
    virtual ~SquareSystem() = default;
    virtual const CompressedColumns& pattern() const = 0;
    // F(x), one value per row.
    virtual void residuals(const std::vector<double>& x, std::vector<double>& values) = 0;
    // The Jacobian at x, one value per slot of pattern().
    virtual void jacobian(const std::vector<double>& x, std::vector<double>& slot_values) = 0;
};
