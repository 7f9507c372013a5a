#include "rt_varlist.h"

#include <algorithm>
#include <cmath>

#include "rt_numbering.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

double given_or(double field, double fallback) {
    return std::isnan(field) ? fallback : field;
}

// Empty when some finite value lies within the bounds, else why none does.
std::string bounds_fault(double lower, double upper) {
    if (lower > upper || lower == infinity || upper == -infinity) {
        return "bounds [" + rt_numbering::number_text(lower) + ", " +
               rt_numbering::number_text(upper) + "] admit no value";
    }
    return {};
}

rtvar_t variable_from(const rtvar_init_t& record) {
    rtvar_t variable;
    variable.registered = true;
    variable.name = rt_numbering::bounded_name(record.name);
    variable.lower = given_or(record.lower, -infinity);
    variable.upper = given_or(record.upper, infinity);
    variable.initial = given_or(record.initial, 0.0);
    if (std::isnan(record.initial) && variable.lower <= variable.upper) {
        variable.initial = std::clamp(0.0, variable.lower, variable.upper);
    }
    return variable;
}

}  // namespace

rtvarlst_t::rtvarlst_t(int count)
    : variables_(rt_numbering::checked_count("variables", count)),
      values_(variables_.size(), 0.0) {}

const rtvar_t* rtvarlst_t::find(int number) const {
    if (!rt_numbering::in_range(number, 1, size())) {
        return nullptr;
    }
    return &variables_[rt_numbering::index_of(number)];
}

int rtvarlst_t::initialize(int number, const rtvar_init_t* record, bool replace) {
    if (!rt_numbering::in_range(number, 1, size())) {
        return refuse(number, rt_numbering::range_fault(1, size()));
    }
    if (record == nullptr) {
        return refuse(number, "no registration record");
    }
    if (find(number)->registered && !replace) {
        return refuse(number, "already registered and replace not asked");
    }
    rtvar_t variable = variable_from(*record);
    const std::string fault = bounds_fault(variable.lower, variable.upper);
    if (!fault.empty()) {
        return refuse(number, fault);
    }
    if (std::isinf(variable.initial)) {
        return refuse(number, "initial value is infinite");
    }
    const std::size_t index = rt_numbering::index_of(number);
    values_[index] = variable.initial;
    variables_[index] = std::move(variable);
    return 0;
}

int rtvarlst_t::refuse(int number, const std::string& reason) {
    diagnostics_.push_back("variable " + std::to_string(number) + " refused: " + reason);
    return -1;
}
