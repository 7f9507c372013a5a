#pragma once

#include <limits>
#include <string>
#include <vector>

#include "rt_records.h"
#include "vaxo_export.h"

// One variable of the host's variable list.
struct rtvar_t {
    bool registered = false;
    std::string name;
    double initial = 0.0;
    double lower = -std::numeric_limits<double>::infinity();
    double upper = std::numeric_limits<double>::infinity();
};

// The host's variable list: variables numbered 1..size(), and their current
// values in one contiguous array (element number - 1) shared by the blocks,
// which read it, and the solver, which writes it.
//
// Registration takes from the record the name (at most its 1032 bytes, even
// when no NUL ends them), the initial value and the bounds, and sets the
// current value to the initial value. A field holding RTVAR_NOT_GIVEN (any
// NaN) takes the host's default:
//   lower bound    -infinity
//   upper bound    +infinity          (so a variable without bounds is free)
//   initial value  0.0, moved to the nearer bound when the bounds exclude 0
//                  (a variable bounded to [2, 5] starts at 2).
// A given initial value is kept as given, even outside the bounds.
//
// Refused, with the list unchanged and a diagnostic recorded: a number outside
// 1..size(); a null record; a number already registered unless `replace`;
// bounds that no finite value satisfies (lower above upper, lower +infinity,
// upper -infinity); an infinite initial value.
struct VAXO_API rtvarlst_t {
  public:
    // Throws std::invalid_argument when `count` is negative.
    explicit rtvarlst_t(int count);

    int size() const { return static_cast<int>(variables_.size()); }
    // Variable `number`, or null when it is outside 1..size().
    const rtvar_t* find(int number) const;
    // The current values; null when the list is empty.
    double* values() { return values_.data(); }
    const double* values() const { return values_.data(); }
    // One message per refused call, oldest first.
    const std::vector<std::string>& diagnostics() const { return diagnostics_; }

    // What rtovarlst_initialize_var does: answers 0, or -1 when refused.
    int initialize(int number, const rtvar_init_t* record, bool replace);

  private:
    int refuse(int number, const std::string& reason);

    std::vector<rtvar_t> variables_;
    std::vector<double> values_;
    std::vector<std::string> diagnostics_;
};
