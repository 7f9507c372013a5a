#pragma once

#include <optional>
#include <string>
#include <vector>

#include "curve_probe.h"
#include "curve_wording.h"
#include "host_curve_system.h"
#include "model_system.h"
#include "sweep_continuation.h"

// What a plain sweep says of the curve beside a value's verdict.
struct SweepNote {
    enum class Kind { turning_point, branch_jump };
    Kind kind = Kind::turning_point;
    double value = 0.0;   // the turning point's, or the value solved on another branch
    std::string label;    // a few words for a table's cell
    std::string message;  // the whole sentence
};

// "turning-point", "branch-jump".
const char* note_code(SweepNote::Kind kind);

// Watches a plain sweep's values for what the curve of solutions does
// between them. At each converged value it takes the curve's tangent; when a
// value fails after a converged one, it follows the curve from there toward
// the value and says where it turns back, if it does; when a converged value
// may lie off the branch of the one before (the chord between them far off
// both tangents, or the tangents of the last two values heading for a turn
// before it) and the branch followed from the one before does not reach it,
// it says the solve jumped to another branch. Reads the host's values at
// each value reported, and leaves them changed.
class SweepWatch {
  public:
    SweepWatch(const ModelSystem& model, const std::vector<int>& varied, const SweepRange& range,
               const CurveWording& wording = {});

    std::optional<SweepNote> observe(const SweepPoint& point);

  private:
    struct Solved {
        std::vector<double> y;
        std::vector<double> tangent;
    };

    std::optional<SweepNote> after_converged(double value);
    std::optional<SweepNote> after_failed(double value);
    bool may_have_jumped(const Solved& here) const;
    // Where the last two values' tangents, closing on a turn, put it.
    std::optional<double> turn_ahead() const;

    const SweepRange& range_;
    CurveWording wording_;
    int direction_;
    HostCurveSystem system_;
    CurveSettings settings_;
    std::optional<CurveProbe> probe_;
    std::optional<Solved> last_;  // the last value solved, with its tangent
    std::optional<Solved> before_last_;
    // Where the branch of the last value solved turns, once found.
    std::optional<double> turn_after_last_;
};
