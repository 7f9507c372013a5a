#include "model_reader.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

using model_reading::as_double;
using model_reading::as_node_code;
using model_reading::equals_zero;
using model_reading::is_number;
using model_reading::Kind;
using model_reading::MemberValue;
using model_reading::no_lookup_in;
using model_reading::not_a;

bool is_container(Kind kind) {
    return kind == Kind::array || kind == Kind::object;
}

}  // namespace

// ---- parse events ----

bool ModelReader::null() {
    return scalar(MemberValue::of_kind(Kind::null));
}

bool ModelReader::boolean(bool value) {
    return scalar(MemberValue::of_boolean(value));
}

bool ModelReader::number_integer(std::int64_t value) {
    return scalar(MemberValue::of_integer(value));
}

bool ModelReader::number_unsigned(std::uint64_t value) {
    return scalar(MemberValue::of_unsigned(value));
}

bool ModelReader::number_float(double value, const std::string&) {
    return scalar(MemberValue::of_floating(value));
}

bool ModelReader::string(std::string& value) {
    if (ignored_depth_ == 0 && keeps_text(top())) {
        return scalar(MemberValue::of_text(storage_.keep_text(value)));
    }
    return scalar(MemberValue::of_kind(Kind::string));
}

bool ModelReader::binary(nlohmann::json::binary_t&) {
    return scalar(MemberValue::of_kind(Kind::null));
}

bool ModelReader::start_object(std::size_t) {
    return open(Kind::object);
}

bool ModelReader::start_array(std::size_t) {
    return open(Kind::array);
}

bool ModelReader::end_object() {
    return close();
}

bool ModelReader::end_array() {
    return close();
}

bool ModelReader::key(std::string& name) {
    if (ignored_depth_ > 0) {
        return true;
    }
    Frame& frame = top();
    if (frame.role == Role::node_list || frame.role == Role::entry_list) {
        frame.key_offset = keys_.size();
        frame.key_size = name.size();
        keys_ += name;
    } else {
        const bool in_guard = frame.role == Role::guard;
        frame.slot = slot_of(in_guard ? owner().role : frame.role, in_guard, name);
    }
    return true;
}

// ---- where values go ----

ModelReader::Slot ModelReader::slot_of(Role role, bool in_guard, const std::string& name) {
    struct Named {
        std::string_view name;
        Slot slot;
    };
    static const Named root_members[] = {{"EquationList", CHILDREN}, {"Variables", ENTRIES}};
    static const Named node_members[] = {{"Type", TYPE},
                                         {"EquationName", EQUATION_NAME},
                                         {"EquationString", EQUATION_STRING},
                                         {"DoubleValue", DOUBLE_VALUE},
                                         {"StringValue", STRING_VALUE},
                                         {"SubExpressions", CHILDREN},
                                         {"Variables", ENTRIES},
                                         {"object", GUARD}};
    static const Named entry_members[] = {{"VariableName", VARIABLE_NAME},
                                          {"VariableSymbol", VARIABLE_SYMBOL},
                                          {"Min", MIN},
                                          {"Max", MAX},
                                          {"Initial", INITIAL},
                                          {"Differential", DIFFERENTIAL},
                                          {"object", GUARD}};
    // Of a guard object, only the member that would skip its owner is read.
    static const Named node_guard[] = {{"Type", GUARD_KEY}};
    static const Named entry_guard[] = {{"VariableSymbol", GUARD_KEY}};
    const std::string_view wanted(name);
    const auto find = [&](const auto& members) {
        for (const Named& member : members) {
            if (wanted == member.name) {
                return member.slot;
            }
        }
        return OTHER;
    };
    switch (role) {
        case Role::root:
            return find(root_members);
        case Role::node:
            return in_guard ? find(node_guard) : find(node_members);
        case Role::entry:
            return in_guard ? find(entry_guard) : find(entry_members);
        default:
            return OTHER;
    }
}

bool ModelReader::keeps_text(const Frame& frame) const {
    if (frame.role == Role::node) {
        return frame.slot == EQUATION_NAME || frame.slot == EQUATION_STRING ||
               frame.slot == STRING_VALUE;
    }
    return frame.role == Role::entry &&
           (frame.slot == VARIABLE_NAME || frame.slot == VARIABLE_SYMBOL);
}

ModelReader::ListMember& ModelReader::list_of(Frame& frame) {
    return frame.slot == CHILDREN ? frame.children : frame.entries;
}

void ModelReader::push_frame(Role role) {
    Frame& frame = frames_.emplace_back(role);
    frame.nodes_mark = nodes_.size();
    frame.entries_mark = entries_.size();
    frame.keys_mark = keys_.size();
    frame.faults_mark = faults_.size();
}

bool ModelReader::scalar(const MemberValue& value) {
    if (ignored_depth_ > 0) {
        return true;
    }
    Frame& frame = top();
    switch (frame.role) {
        case Role::document:
            document_ = value;
            return true;
        case Role::node_list:
        case Role::entry_list:
            add_element(frame.role, value);
            return true;
        case Role::guard:
            if (frame.slot == GUARD_KEY) {
                owner().guard_skips = equals_zero(value);
            }
            return true;
        default:
            break;
    }
    switch (frame.slot) {
        case CHILDREN:
        case ENTRIES:
            list_of(frame) = ListMember{value};
            break;
        case DIFFERENTIAL:
            frame.differential = value;
            break;
        case GUARD:
            frame.guard = value;
            frame.guard_skips = false;
            break;
        case OTHER:
            break;
        default:
            frame.plain[frame.slot] = value;
            break;
    }
    return true;
}

bool ModelReader::open(Kind kind) {
    if (ignored_depth_ > 0) {
        ++ignored_depth_;
        return true;
    }
    Frame& frame = top();
    const MemberValue value = MemberValue::of_kind(kind);
    const bool is_object = kind == Kind::object;
    switch (frame.role) {
        case Role::document:
            document_ = value;
            is_object ? push_frame(Role::root) : ignore_container();
            return true;
        case Role::node_list:
        case Role::entry_list:
            if (is_object) {
                push_frame(frame.role == Role::node_list ? Role::node : Role::entry);
            } else {
                add_element(frame.role, value);
                ignore_container();
            }
            return true;
        case Role::guard:
            if (frame.slot == GUARD_KEY) {
                owner().guard_skips = false;
            }
            ignore_container();
            return true;
        default:
            break;
    }
    switch (frame.slot) {
        case CHILDREN:
        case ENTRIES: {
            const bool of_nodes = frame.slot == CHILDREN;
            list_of(frame) = ListMember{value, of_nodes ? nodes_.size() : entries_.size(), 0};
            push_frame(of_nodes ? Role::node_list : Role::entry_list);
            top().is_object = is_object;
            return true;
        }
        case DIFFERENTIAL:
            frame.differential = value;
            is_object ? push_frame(Role::node) : ignore_container();
            return true;
        case GUARD:
            frame.guard = value;
            frame.guard_skips = false;
            is_object ? push_frame(Role::guard) : ignore_container();
            return true;
        case OTHER:
            ignore_container();
            return true;
        default:
            frame.plain[frame.slot] = value;
            ignore_container();
            return true;
    }
}

bool ModelReader::close() {
    if (ignored_depth_ > 0) {
        --ignored_depth_;
        return true;
    }
    switch (top().role) {
        case Role::root:
            equations_ = top().children;
            variables_ = top().entries;
            frames_.pop_back();
            break;
        case Role::node:
            close_node();
            break;
        case Role::entry:
            close_entry();
            break;
        case Role::node_list:
        case Role::entry_list:
            close_list();
            break;
        default:
            frames_.pop_back();
            break;
    }
    return true;
}

// ---- list elements ----

std::int32_t ModelReader::note(model_reading::Fault fault) {
    faults_.push_back(std::move(fault));
    return static_cast<std::int32_t>(faults_.size() - 1);
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
void ModelReader::push_element(std::vector<Record>& records, std::vector<Outcome>& outcomes,
                               const Record& record, Outcome outcome) {
    const Frame& holder = top();
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

// ---- finished records ----

// Drops what the frame's records pushed, keeping only the fault its record
// came to, moved down to where the frame's faults began.
void ModelReader::drop_above(const Frame& frame, std::int32_t& fault) {
    nodes_.resize(frame.nodes_mark);
    node_outcomes_.resize(frame.nodes_mark);
    entries_.resize(frame.entries_mark);
    entry_outcomes_.resize(frame.entries_mark);
    keys_.resize(frame.keys_mark);
    if (fault != Outcome::NO_FAULT) {
        const auto kept = static_cast<std::size_t>(fault);
        if (kept != frame.faults_mark) {
            faults_[frame.faults_mark] = std::move(faults_[kept]);
        }
        fault = static_cast<std::int32_t>(frame.faults_mark);
        faults_.resize(frame.faults_mark + 1);
    } else {
        faults_.resize(frame.faults_mark);
    }
}

void ModelReader::close_node() {
    Outcome outcome;
    const ExprNode node = read_node(top(), outcome.fault, outcome.guarded);
    drop_above(top(), outcome.fault);
    frames_.pop_back();
    if (top().role == Role::entry) {
        top().differential_node = nodes_.size();
    }
    push_element(nodes_, node_outcomes_, node, outcome);
}

void ModelReader::close_entry() {
    Outcome outcome;
    const VariableDef entry = read_entry(top(), outcome.fault, outcome.guarded);
    drop_above(top(), outcome.fault);
    frames_.pop_back();
    push_element(entries_, entry_outcomes_, entry, outcome);
}

std::int32_t ModelReader::guard_fault(const Frame& frame) {
    const Kind kind = frame.guard.kind;
    return kind == Kind::null || kind == Kind::object ? Outcome::NO_FAULT
                                                      : note(no_lookup_in(kind));
}

// A node's members in the order the format reads them: its guard, "Type",
// names, the value its code needs, its children, then its entries.
ExprNode ModelReader::read_node(Frame& frame, std::int32_t& fault, bool& guarded) {
    if ((fault = guard_fault(frame)) != Outcome::NO_FAULT) {
        return {};
    }
    if (frame.guard.kind == Kind::object && frame.guard_skips) {
        guarded = true;
        return {};
    }
    const MemberValue& type = frame.plain[TYPE];
    if (!is_number(type.kind) && type.kind != Kind::boolean) {
        fault = note(not_a("number", type.kind));
        return {};
    }
    for (const Slot slot : {EQUATION_NAME, EQUATION_STRING}) {
        const Kind kind = frame.plain[slot].kind;
        if (kind != Kind::null && kind != Kind::string) {
            fault = note(not_a("string", kind));
            return {};
        }
    }
    const std::int32_t code = as_node_code(type);
    const MemberValue& number = frame.plain[DOUBLE_VALUE];
    const MemberValue& text = frame.plain[STRING_VALUE];
    const bool reads_number = code == NODE_NUMBER;
    const bool reads_text =
        code == NODE_NUMERIC_TEXT || code == NODE_VARIABLE || code == NODE_FUNCTION;
    const bool reads_children =
        code == NODE_SUM || code == NODE_PRODUCT || code == NODE_POWER || code == NODE_FUNCTION;
    if (reads_number && !is_number(number.kind)) {
        fault = note(not_a("number", number.kind));
        return {};
    }
    if (reads_text && text.kind != Kind::string) {
        fault = note(not_a("string", text.kind));
        return {};
    }
    Span<const ExprNode> children;
    if (reads_children && (fault = read_children(frame.children, children)) != Outcome::NO_FAULT) {
        return {};
    }
    Span<VariableDef> entries;
    if ((fault = read_entries(frame.entries, entries)) != Outcome::NO_FAULT) {
        return {};
    }
    ExprNode node;
    if (reads_number) {
        node = ExprNode::number(as_double(number));
    } else if (reads_children) {
        node = ExprNode::parent(code, children, text.text);
    } else if (reads_text) {
        node = ExprNode::text(code, text.text);
    }
    const EquationFields fields{frame.plain[EQUATION_NAME].text, frame.plain[EQUATION_STRING].text,
                                entries};
    if (!fields.equation_name.empty() || !fields.equation_string.empty() || !entries.empty()) {
        node.set_equation_fields(storage_.keep_fields(fields));
    }
    return node;
}

// An entry's members in the order the format reads them: its guard, names,
// bounds, then its derivative tree.
VariableDef ModelReader::read_entry(Frame& frame, std::int32_t& fault, bool& guarded) {
    VariableDef entry;
    if ((fault = guard_fault(frame)) != Outcome::NO_FAULT) {
        return entry;
    }
    if (frame.guard.kind == Kind::object && frame.guard_skips) {
        guarded = true;
        return entry;
    }
    const MemberValue& name = frame.plain[VARIABLE_NAME];
    const MemberValue& symbol = frame.plain[VARIABLE_SYMBOL];
    if (name.kind != Kind::null && name.kind != Kind::string) {
        fault = note(not_a("string", name.kind));
        return entry;
    }
    if (symbol.kind != Kind::string) {
        fault = note(not_a("string", symbol.kind));
        return entry;
    }
    entry.variable_name = name.text;
    entry.variable_symbol = symbol.text;
    double VariableDef::*const bounds[] = {&VariableDef::min, &VariableDef::max,
                                           &VariableDef::initial};
    const Slot bound_slots[] = {MIN, MAX, INITIAL};
    for (std::size_t i = 0; i < 3; ++i) {
        const MemberValue& bound = frame.plain[bound_slots[i]];
        if (bound.kind == Kind::null) {
            continue;
        }
        if (!is_number(bound.kind)) {
            fault = note(not_a("number", bound.kind));
            return entry;
        }
        entry.*bounds[i] = as_double(bound);
    }
    fault = read_differential(frame, entry.differential);
    return entry;
}

std::int32_t ModelReader::read_differential(const Frame& frame, const ExprNode*& differential) {
    const MemberValue& value = frame.differential;
    if (value.kind == Kind::null || equals_zero(value)) {
        return Outcome::NO_FAULT;
    }
    if (value.kind != Kind::object) {
        return note(no_lookup_in(value.kind));
    }
    const Outcome& outcome = node_outcomes_[frame.differential_node];
    if (outcome.fault != Outcome::NO_FAULT || outcome.guarded) {
        return outcome.fault;
    }
    differential = &storage_.keep_nodes(&nodes_[frame.differential_node], 1).front();
    return Outcome::NO_FAULT;
}

std::int32_t ModelReader::read_children(const ListMember& list, Span<const ExprNode>& children) {
    std::size_t kept = 0;
    const std::int32_t fault = gather(nodes_, node_outcomes_, list, kept);
    if (fault == Outcome::NO_FAULT) {
        children = storage_.keep_nodes(nodes_.data() + list.first, kept);
    }
    return fault;
}

std::int32_t ModelReader::read_entries(const ListMember& list, Span<VariableDef>& entries) {
    std::size_t kept = 0;
    const std::int32_t fault = gather(entries_, entry_outcomes_, list, kept);
    if (fault == Outcome::NO_FAULT) {
        entries = storage_.keep_entries(entries_.data() + list.first, kept);
    }
    return fault;
}

// Moves a list's records to the front of its range, leaving out the 0
// elements; the first fault in list order stops it.
template <class Record>
std::int32_t ModelReader::gather(std::vector<Record>& records, const std::vector<Outcome>& outcomes,
                                 const ListMember& list, std::size_t& kept) {
    kept = 0;
    if (!is_container(list.value.kind)) {
        // A value standing alone is the list's one element.
        const bool nothing = list.value.kind == Kind::null || equals_zero(list.value);
        return nothing ? Outcome::NO_FAULT : note(no_lookup_in(list.value.kind));
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

// ---- the model ----

void ModelReader::finish(ModelDefinition& model) {
    if (document_.kind != Kind::object) {
        if (document_.kind != Kind::null && !equals_zero(document_)) {
            model_reading::raise(no_lookup_in(document_.kind));
        }
        return;
    }
    std::size_t kept = 0;
    std::int32_t fault = gather(nodes_, node_outcomes_, equations_, kept);
    for (std::size_t i = 0; i < kept; ++i) {
        model.append_equation(nodes_[equations_.first + i]);
    }
    if (fault == Outcome::NO_FAULT) {
        fault = gather(entries_, entry_outcomes_, variables_, kept);
        for (std::size_t i = 0; i < kept; ++i) {
            model.append_variable(entries_[variables_.first + i]);
        }
    }
    if (fault != Outcome::NO_FAULT) {
        model_reading::raise(faults_[static_cast<std::size_t>(fault)]);
    }
}
