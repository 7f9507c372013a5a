#pragma once

#include <vector>

#include "sparse_lu.h"

// F(x, p) = 0: n equations in n unknowns x and one parameter p, whose
// solutions form the curve that continuation follows. A point of the curve
// is y = (x, p), n + 1 values with the parameter last. The Jacobian
// dF/d(x, p) has n + 1 columns, the parameter's last, and rows 0 .. n - 1:
// its pattern's size is n + 1 and its row n stays empty, for the row that
// continuation adds.
class CurveSystem {
  public:
    virtual ~CurveSystem() = default;
    virtual const CompressedColumns& pattern() const = 0;
    // F at y (n + 1 values), n values.
    virtual void residuals(const std::vector<double>& y, std::vector<double>& values) = 0;
    // dF/d(x, p) at y, one value per slot of pattern().
    virtual void jacobian(const std::vector<double>& y, std::vector<double>& slot_values) = 0;
};
