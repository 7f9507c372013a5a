#include "model_reader.h"

#include "model_format.h"

#include <utility>

// Records read once their object closed: a node or an entry, checked member
// by member in the order the format reads them.

namespace {

using model_reading::as_double;
using model_reading::as_node_code;
using model_reading::equals_zero;
using model_reading::is_number;
using model_reading::Kind;
using model_reading::MemberValue;
using model_reading::no_lookup_in;
using model_reading::not_a;

}  // namespace

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
    return kind == Kind::null || kind == Kind::object
               ? Outcome::NO_FAULT
               : note(no_lookup_in(kind), model_format::OBJECT);
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
        fault = note(not_a("number", type.kind), model_format::TYPE);
        return {};
    }
    const std::pair<Slot, const char*> names[] = {{EQUATION_NAME, model_format::EQUATION_NAME},
                                                  {EQUATION_STRING, model_format::EQUATION_STRING}};
    for (const auto& [slot, member] : names) {
        const Kind kind = frame.plain[slot].kind;
        if (kind != Kind::null && kind != Kind::string) {
            fault = note(not_a("string", kind), member);
            return {};
        }
    }
    const std::int32_t code = as_node_code(type);
    const MemberValue& number = frame.plain[DOUBLE_VALUE];
    const MemberValue& text = frame.plain[STRING_VALUE];
    const bool reads_number = model_format::reads_number(code);
    const bool reads_text = model_format::reads_text(code);
    const bool reads_children = model_format::reads_children(code);
    if (reads_number && !is_number(number.kind)) {
        fault = note(not_a("number", number.kind), model_format::DOUBLE_VALUE);
        return {};
    }
    if (reads_text && text.kind != Kind::string) {
        fault = note(not_a("string", text.kind), model_format::STRING_VALUE);
        return {};
    }
    Span<const ExprNode> children;
    if (reads_children && (fault = read_children(frame.children, model_format::SUB_EXPRESSIONS,
                                                 children)) != Outcome::NO_FAULT) {
        return {};
    }
    Span<VariableDef> entries;
    if ((fault = read_entries(frame.entries, model_format::VARIABLES, entries)) !=
        Outcome::NO_FAULT) {
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
    EquationFields fields;
    fields.equation_name = frame.plain[EQUATION_NAME].text;
    fields.equation_string = frame.plain[EQUATION_STRING].text;
    fields.variables = entries;
    if (!fields.equation_name.empty() || !fields.equation_string.empty() || !entries.empty()) {
        node.set_equation_fields(storage_.keep_fields(node.with_own_value(fields)));
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
        fault = note(not_a("string", name.kind), model_format::VARIABLE_NAME);
        return entry;
    }
    if (symbol.kind != Kind::string) {
        fault = note(not_a("string", symbol.kind), model_format::VARIABLE_SYMBOL);
        return entry;
    }
    entry.variable_name = name.text;
    entry.variable_symbol = symbol.text;
    double VariableDef::*const bounds[] = {&VariableDef::min, &VariableDef::max,
                                           &VariableDef::initial};
    const Slot bound_slots[] = {MIN, MAX, INITIAL};
    const char* const bound_members[] = {model_format::MIN, model_format::MAX,
                                         model_format::INITIAL};
    for (std::size_t i = 0; i < 3; ++i) {
        const MemberValue& bound = frame.plain[bound_slots[i]];
        if (bound.kind == Kind::null) {
            continue;
        }
        if (!is_number(bound.kind)) {
            fault = note(not_a("number", bound.kind), bound_members[i]);
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
        return note(no_lookup_in(value.kind), model_format::DIFFERENTIAL);
    }
    const Outcome& outcome = node_outcomes_[frame.differential_node];
    if (outcome.fault != Outcome::NO_FAULT || outcome.guarded) {
        return outcome.fault;
    }
    differential = &storage_.keep_nodes(&nodes_[frame.differential_node], 1).front();
    return Outcome::NO_FAULT;
}

std::int32_t ModelReader::read_children(const ListMember& list, const char* member,
                                        Span<const ExprNode>& children) {
    std::size_t kept = 0;
    const std::int32_t fault = gather(nodes_, node_outcomes_, list, member, kept);
    if (fault == Outcome::NO_FAULT) {
        children = storage_.keep_nodes(nodes_.data() + list.first, kept);
    }
    return fault;
}

std::int32_t ModelReader::read_entries(const ListMember& list, const char* member,
                                       Span<VariableDef>& entries) {
    std::size_t kept = 0;
    const std::int32_t fault = gather(entries_, entry_outcomes_, list, member, kept);
    if (fault == Outcome::NO_FAULT) {
        entries = storage_.keep_entries(entries_.data() + list.first, kept);
    }
    return fault;
}
