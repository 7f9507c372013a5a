#include "model_reader.h"

#include <utility>

#include "model_format.h"

// The reader's first stage: the parse events, and where each value goes.

namespace {

using model_format::Member;
using model_format::member_named;
using model_reading::equals_zero;
using model_reading::Kind;
using model_reading::MemberValue;
using model_reading::no_lookup_in;

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

bool ModelReader::number_float(double value, std::string_view) {
    return scalar(MemberValue::of_floating(value));
}

bool ModelReader::string(std::string_view value) {
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

bool ModelReader::key(std::string_view name) {
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

ModelReader::Slot ModelReader::slot_of(Role role, bool in_guard, std::string_view name) {
    const Member member = member_named(name);
    if (in_guard) {
        // Of a guard object, only the member that would skip its owner is read.
        const Member skips = role == Role::node ? Member::type : Member::variable_symbol;
        return member == skips ? GUARD_KEY : OTHER;
    }
    switch (role) {
        case Role::root:
            switch (member) {
                case Member::equation_list:
                    return CHILDREN;
                case Member::variables:
                    return ENTRIES;
                default:
                    return OTHER;
            }
        case Role::node:
            switch (member) {
                case Member::type:
                    return TYPE;
                case Member::equation_name:
                    return EQUATION_NAME;
                case Member::equation_string:
                    return EQUATION_STRING;
                case Member::double_value:
                    return DOUBLE_VALUE;
                case Member::string_value:
                    return STRING_VALUE;
                case Member::sub_expressions:
                    return CHILDREN;
                case Member::variables:
                    return ENTRIES;
                case Member::object:
                    return GUARD;
                default:
                    return OTHER;
            }
        case Role::entry:
            switch (member) {
                case Member::variable_name:
                    return VARIABLE_NAME;
                case Member::variable_symbol:
                    return VARIABLE_SYMBOL;
                case Member::min:
                    return MIN;
                case Member::max:
                    return MAX;
                case Member::initial:
                    return INITIAL;
                case Member::differential:
                    return DIFFERENTIAL;
                case Member::object:
                    return GUARD;
                default:
                    return OTHER;
            }
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
            ++frame.elements;
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
            ++frame.elements;
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
            const bool top_list = frame.role == Role::root && !is_object;
            list_of(frame) =
                ListMember{value, of_nodes ? nodes_.size() : entries_.size(), 0, top_list};
            if (top_list) {
                // A repeated member: the last one's elements are the list.
                of_nodes ? equation_roots_.restart() : model_variables_.restart();
            }
            push_frame(of_nodes ? Role::node_list : Role::entry_list);
            top().is_object = is_object;
            top().top_list = top_list;
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

// ---- the model ----

void ModelReader::finish(ModelDefinition& model) {
    if (document_.kind != Kind::object) {
        if (document_.kind != Kind::null && !equals_zero(document_)) {
            raised_ = no_lookup_in(document_.kind);  // the document's place: ""
            model_reading::raise(raised_);
        }
        return;
    }
    std::int32_t fault = Outcome::NO_FAULT;
    if (equations_.top) {
        fault = equation_roots_.fault;
        model.append_equations(std::move(equation_roots_.records));
    } else {
        std::size_t kept = 0;
        fault = gather(nodes_, node_outcomes_, equations_, model_format::EQUATION_LIST, kept);
        for (std::size_t i = 0; i < kept; ++i) {
            model.append_equation(nodes_[equations_.first + i]);
        }
    }
    if (fault == Outcome::NO_FAULT && variables_.top) {
        fault = model_variables_.fault;
        model.append_variables(std::move(model_variables_.records));
    } else if (fault == Outcome::NO_FAULT) {
        std::size_t kept = 0;
        fault = gather(entries_, entry_outcomes_, variables_, model_format::VARIABLES, kept);
        for (std::size_t i = 0; i < kept; ++i) {
            model.append_variable(entries_[variables_.first + i]);
        }
    }
    if (fault != Outcome::NO_FAULT) {
        raised_ = faults_[static_cast<std::size_t>(fault)];
        model_reading::raise(raised_);
    }
}
