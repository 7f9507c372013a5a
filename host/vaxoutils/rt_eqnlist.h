#pragma once

#include <string>
#include <vector>

#include "rt_records.h"
#include "vaxo_export.h"

class ZELEOBlock;

// One equation of the host's equation list. `named` is set by
// rtoeqnlst_addeqn, `initialized` by rtoeqnlst_initialize_eqn; the attributes
// below `name` mean something only once `initialized`.
struct rteqn_t {
    bool named = false;
    bool initialized = false;
    std::string name;
    double residual_limit = 0.0;
    double equation_class = 0.0;
    int number = 0;
    ZELEOBlock* owner = nullptr;
};

// The host's equation list: equations numbered 1..size(), with their residuals
// and statuses in contiguous arrays (element number - 1). Residuals and
// statuses start at 0. Naming or initializing an equation again overwrites it.
//
// Refused, with the list unchanged and a diagnostic recorded: a number outside
// 1..size(); a null name or record; a record whose own number differs from
// the number of the call. A name is read up to its first NUL and never past
// RT_NAME_FIELD bytes, the size of the records' name field.
struct VAXO_API rtattrdict_t {
  public:
    // Throws std::invalid_argument when `count` is negative.
    explicit rtattrdict_t(int count);

    int size() const { return static_cast<int>(equations_.size()); }
    // Equation `number`, or null when it is outside 1..size().
    const rteqn_t* find(int number) const;
    // The residuals and statuses; null when the list is empty.
    double* residuals() { return residuals_.data(); }
    const double* residuals() const { return residuals_.data(); }
    int* statuses() { return statuses_.data(); }
    const int* statuses() const { return statuses_.data(); }
    // One message per refused call, oldest first.
    const std::vector<std::string>& diagnostics() const { return diagnostics_; }

    // What rtoeqnlst_addeqn and rtoeqnlst_initialize_eqn do: 0, or -1 when refused.
    int add(int number, const char* name);
    int initialize(int number, const rteqn_init_t* record);

  private:
    rteqn_t* equation(int number);
    int refuse(int number, const std::string& reason);

    std::vector<rteqn_t> equations_;
    std::vector<double> residuals_;
    std::vector<int> statuses_;
    std::vector<std::string> diagnostics_;
};
