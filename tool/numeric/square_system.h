#pragma once

#include <string>
#include <vector>

#include "sparse_lu.h"

// How an evaluation of a square system went. Values that are NaN or infinite
// are no fault of the evaluation: the solver judges them itself.
// - ok: the values are written;
// - recoverable: the system could not evaluate at this point, but may at
//   another (a trial point is then rejected, as one with non-finite values);
// - fatal: the system cannot evaluate at all; the solve stops, keeping what
//   it reached.
enum class EvaluationStatus { ok, recoverable, fatal };

// A square system F(x) = 0 whose Jacobian has a fixed sparse pattern: what the
// nonlinear solver needs of a model. The host-backed system is one; the unit
// tests define small ones in memory.
class SquareSystem {
  public:
    virtual ~SquareSystem() = default;
    virtual const CompressedColumns& pattern() const = 0;
    // F(x), one value per row.
    virtual EvaluationStatus residuals(const std::vector<double>& x,
                                       std::vector<double>& values) = 0;
    // The Jacobian at x, one value per slot of pattern().
    virtual EvaluationStatus jacobian(const std::vector<double>& x,
                                      std::vector<double>& slot_values) = 0;
    // Why the last evaluation that was not ok failed, in the system's words.
    virtual std::string fault() const { return {}; }
};
