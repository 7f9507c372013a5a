#include "rt_eqnlist.h"

#include "rt_numbering.h"

rtattrdict_t::rtattrdict_t(int count)
    : equations_(rt_numbering::checked_count("equations", count)),
      residuals_(equations_.size(), 0.0),
      statuses_(equations_.size(), 0) {}

const rteqn_t* rtattrdict_t::find(int number) const {
    if (!rt_numbering::in_range(number, 1, size())) {
        return nullptr;
    }
    return &equations_[rt_numbering::index_of(number)];
}

rteqn_t* rtattrdict_t::equation(int number) {
    return &equations_[rt_numbering::index_of(number)];
}

int rtattrdict_t::add(int number, const char* name) {
    if (!rt_numbering::in_range(number, 1, size())) {
        return refuse(number, rt_numbering::range_fault(1, size()));
    }
    if (name == nullptr) {
        return refuse(number, "no name");
    }
    rteqn_t* target = equation(number);
    target->name = rt_numbering::bounded_name(name);
    target->named = true;
    return 0;
}

int rtattrdict_t::initialize(int number, const rteqn_init_t* record) {
    if (!rt_numbering::in_range(number, 1, size())) {
        return refuse(number, rt_numbering::range_fault(1, size()));
    }
    if (record == nullptr) {
        return refuse(number, "no registration record");
    }
    if (record->number != number) {
        return refuse(number, "its record carries number " + std::to_string(record->number));
    }
    rteqn_t* target = equation(number);
    target->residual_limit = record->residual_limit;
    target->equation_class = record->equation_class;
    target->number = record->number;
    target->owner = record->owner;
    target->initialized = true;
    return 0;
}

int rtattrdict_t::refuse(int number, const std::string& reason) {
    diagnostics_.push_back("equation " + std::to_string(number) + " refused: " + reason);
    return -1;
}
