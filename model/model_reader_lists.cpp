#include "model_reader.h"

#include "model_format.h"

#include <algorithm>
#include <numeric>
#include <utility>

// The elements of lists, waiting for the record that holds them.

namespace {

using model_reading::equals_zero;
using model_reading::Kind;
using model_reading::MemberValue;
using model_reading::no_lookup_in;
using model_reading::not_a;

bool is_container(Kind kind) {
    return kind == Kind::array || kind == Kind::object;
}

}  // namespace

std::int32_t ModelReader::note(model_reading::Fault fault, const char* member) {
    if (with_places_) {
        fault.place = place_of(member);
    }
    faults_.push_back(std::move(fault));
    return static_cast<std::int32_t>(faults_.size() - 1);
}

std::string ModelReader::place_of(const char* member) const {
    std::string pointer;
    for (std::size_t i = 1; i < frames_.size(); ++i) {
        pointer += step_into(frames_[i - 1]);
    }
    if (member != nullptr) {
        pointer += model_format::pointer_step(member);
    } else {
        pointer += element_step(frames_.back());
    }
    return pointer;
}

// The step from `parent` to the value open above it: a list's element, or
// the record's member that holds a list, a derivative tree or a guard. The
// document's object is the document itself.
std::string ModelReader::step_into(const Frame& parent) const {
    switch (parent.role) {
        case Role::document:
            return "";
        case Role::node_list:
        case Role::entry_list:
            return element_step(parent);
        default:
            break;
    }
    switch (parent.slot) {
        case CHILDREN:
        case ENTRIES:
            return model_format::pointer_step(list_member(parent.role, parent.slot));
        case DIFFERENTIAL:
            return model_format::pointer_step(model_format::DIFFERENTIAL);
        case GUARD:
            return model_format::pointer_step(model_format::OBJECT);
        default:
            return "";
    }
}

std::string ModelReader::element_step(const Frame& list) const {
    if (list.is_object) {
        return model_format::pointer_step(
            std::string_view(keys_).substr(list.key_offset, list.key_size));
    }
    return "/" + std::to_string(list.elements - 1);
}

const char* ModelReader::list_member(Role role, Slot slot) {
    if (slot == ENTRIES) {
        return model_format::VARIABLES;
    }
    return role == Role::root ? model_format::EQUATION_LIST : model_format::SUB_EXPRESSIONS;
}

// A list element that is not an object: left out when it is 0, and a fault
// otherwise, as reading a record's first member from it would raise.
void ModelReader::add_element(Role list_role, const MemberValue& value) {
    Outcome outcome;
    const bool of_nodes = list_role == Role::node_list;
    if (equals_zero(value)) {
        outcome.skipped = true;
    } else if (value.kind == Kind::null) {
        outcome.fault = note(not_a(of_nodes ? "number" : "string", Kind::null));
    } else {
        outcome.fault = note(no_lookup_in(value.kind));
    }
    if (of_nodes) {
        push_element(nodes_, node_outcomes_, ExprNode(), outcome);
    } else {
        push_element(entries_, entry_outcomes_, VariableDef(), outcome);
    }
}

template <class Record>
void ModelReader::TopList<Record>::take(const Record& record, const Outcome& outcome) {
    if (fault != Outcome::NO_FAULT) {
        return;
    }
    if (outcome.fault != Outcome::NO_FAULT) {
        fault = outcome.fault;
    } else if (!outcome.skipped) {
        records.push_back(record);
    }
}

template <class Record>
void ModelReader::push_element(std::vector<Record>& records, std::vector<Outcome>& outcomes,
                               const Record& record, Outcome outcome) {
    const Frame& holder = top();
    if (holder.top_list) {
        top_list_of(record).take(record, outcome);
        return;
    }
    const bool in_object_list =
        (holder.role == Role::node_list || holder.role == Role::entry_list) && holder.is_object;
    if (in_object_list) {
        outcome.key_offset = holder.key_offset;
        outcome.key_size = holder.key_size;
    }
    records.push_back(record);
    outcomes.push_back(outcome);
}

void ModelReader::close_list() {
    ListMember& list = list_of(owner());
    if (top().role == Role::node_list) {
        if (top().is_object) {
            keep_last_of_each_key(nodes_, node_outcomes_, list.first);
        }
        list.last = nodes_.size();
    } else {
        if (top().is_object) {
            keep_last_of_each_key(entries_, entry_outcomes_, list.first);
        }
        list.last = entries_.size();
    }
    frames_.pop_back();
}

// An object given as a list stands for its member values in increasing byte
// order of their keys, the last of repeated keys winning, as in the library's
// document.
template <class Record>
void ModelReader::keep_last_of_each_key(std::vector<Record>& records,
                                        std::vector<Outcome>& outcomes, std::size_t first) {
    const auto key_of = [&](std::size_t index) {
        const Outcome& outcome = outcomes[index];
        return std::string_view(keys_).substr(outcome.key_offset, outcome.key_size);
    };
    std::vector<std::size_t> order(records.size() - first);
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key_of(a) < key_of(b); });
    std::vector<Record> kept_records;
    std::vector<Outcome> kept_outcomes;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const bool repeated = i + 1 < order.size() && key_of(order[i + 1]) == key_of(order[i]);
        if (!repeated) {
            kept_records.push_back(records[order[i]]);
            kept_outcomes.push_back(outcomes[order[i]]);
        }
    }
    records.resize(first);
    outcomes.resize(first);
    records.insert(records.end(), kept_records.begin(), kept_records.end());
    outcomes.insert(outcomes.end(), kept_outcomes.begin(), kept_outcomes.end());
}

// Moves a list's records to the front of its range, leaving out the 0
// elements; the first fault in list order stops it.
template <class Record>
std::int32_t ModelReader::gather(std::vector<Record>& records, const std::vector<Outcome>& outcomes,
                                 const ListMember& list, const char* member, std::size_t& kept) {
    kept = 0;
    if (!is_container(list.value.kind)) {
        // A value standing alone is the list's one element.
        const bool nothing = list.value.kind == Kind::null || equals_zero(list.value);
        return nothing ? Outcome::NO_FAULT : note(no_lookup_in(list.value.kind), member);
    }
    for (std::size_t i = list.first; i < list.last; ++i) {
        if (outcomes[i].fault != Outcome::NO_FAULT) {
            return outcomes[i].fault;
        }
        if (!outcomes[i].skipped) {
            records[list.first + kept++] = records[i];
        }
    }
    return Outcome::NO_FAULT;
}

// The other stages push and gather both kinds of records.
template void ModelReader::push_element(std::vector<ExprNode>&, std::vector<Outcome>&,
                                        const ExprNode&, Outcome);
template void ModelReader::push_element(std::vector<VariableDef>&, std::vector<Outcome>&,
                                        const VariableDef&, Outcome);
template std::int32_t ModelReader::gather(std::vector<ExprNode>&, const std::vector<Outcome>&,
                                          const ListMember&, const char*, std::size_t&);
template std::int32_t ModelReader::gather(std::vector<VariableDef>&, const std::vector<Outcome>&,
                                          const ListMember&, const char*, std::size_t&);
