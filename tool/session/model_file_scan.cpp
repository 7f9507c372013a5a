#include "model_file_scan.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "file_chunks.h"
#include "joined_lines_text.h"
#include "language_members.h"
#include "member_values.h"
#include "model_format.h"
#include "strict_json.h"
#include "symbol_index.h"

namespace {

using model_format::Member;
using model_format::member_named;
using model_reading::MemberValue;

// What an open object or array is to the loader.
enum class Role : std::uint8_t {
    document,       // the whole file's object
    equation_list,  // "EquationList": equation roots
    root,           // an equation
    node_list,      // "SubExpressions": nodes
    node,           // a node below a root
    entry_list,     // a root's "Variables": its entries
    entry,
    variable_list,  // the document's "Variables": the model variables
    variable,
    guard,  // a record's member "object"
};

bool is_record(Role role) {
    return role == Role::root || role == Role::node || role == Role::entry ||
           role == Role::variable;
}

bool is_node(Role role) {
    return role == Role::root || role == Role::node;
}

// The member of a record's guard that says whether the record is read.
Member guarding_member(Role record) {
    return is_node(record) ? Member::type : Member::variable_symbol;
}

// The member that holds a record's symbol: a node's reference, or the
// variable an entry or a model variable names.
Member symbol_member(Role record) {
    return is_node(record) ? Member::string_value : Member::variable_symbol;
}

// The element role of a list.
Role element_of(Role list) {
    switch (list) {
        case Role::equation_list:
            return Role::root;
        case Role::node_list:
            return Role::node;
        case Role::entry_list:
            return Role::entry;
        default:
            return Role::variable;
    }
}

constexpr std::int32_t NO_CODE = -1;

// The symbols an equation refers to (distinct, in the order first met) and
// its entries' are ranges of the scanner's kept symbols, so that an equation
// costs no allocations of its own beyond its texts.
struct EquationRecord {
    std::string name;
    std::string text;
    std::size_t references_begin = 0;
    std::size_t references_end = 0;
    std::size_t entries_begin = 0;
    std::size_t entries_end = 0;
};

struct VariableRecord {
    std::string symbol;
    std::string description;
};

// One element of a list written as an object: the loader takes the member
// values in byte order of their keys, the last of repeated keys, and skips
// the elements that are the number 0.
struct KeyedElement {
    std::string key;
    std::size_t begin;  // the element's records in its list's pending records
    std::size_t end;
    bool zero;
};

// Frames are kept for reuse once closed, so that their texts' and lists'
// room stays: a large model opens millions of objects, a few levels deep.
struct Frame {
    // Empties the frame for a new object or array, keeping its room.
    void reset(Role frame_role, bool object);

    Role role = Role::document;
    bool is_object = false;
    Member member = Member::other;  // of a record or of the document
    // A record's values.
    bool guarded = false;  // its guard says to keep the defaults
    std::int32_t code = NO_CODE;
    std::string name;    // "EquationName" or "VariableName"
    std::string text;    // "EquationString"
    std::string symbol;  // "StringValue" or "VariableSymbol"
    bool has_symbol = false;
    // Pending records below the frame when it opened: a record's
    // references and entries, a list's own records.
    std::size_t references_mark = 0;
    std::size_t entries_mark = 0;
    std::size_t list_mark = 0;
    // A list written as an object.
    std::vector<KeyedElement> keyed;
    std::string key;
    std::size_t key_begin = 0;
    // A guard: whether its guarding member is the number 0.
    bool guard_zero = false;
};

void Frame::reset(Role frame_role, bool object) {
    role = frame_role;
    is_object = object;
    member = Member::other;
    guarded = false;
    code = NO_CODE;
    name.clear();
    text.clear();
    symbol.clear();
    has_symbol = false;
    keyed.clear();
    key.clear();
    key_begin = 0;
    guard_zero = false;
}

// The parse events, kept as far as they name something. Records wait in
// pending lists until the record holding them closes, since which of them
// count (a node's code may come after its children) and in which order (a
// list may be an object) is only known then; nothing recurses, so trees may
// nest to any depth.
class NameScanner {
  public:
    NameScanner(ScanTexts texts, const std::atomic<bool>* stop)
        : keep_texts_(texts == ScanTexts::with_equation_texts), stop_(stop) {}

    bool null() { return scalar(MemberValue::of_kind(model_reading::Kind::null)); }
    bool boolean(bool value) { return scalar(MemberValue::of_boolean(value)); }
    bool number_integer(std::int64_t value) { return scalar(MemberValue::of_integer(value)); }
    bool number_unsigned(std::uint64_t value) { return scalar(MemberValue::of_unsigned(value)); }
    bool number_float(double value, std::string_view) {
        return scalar(MemberValue::of_floating(value));
    }
    bool string(std::string_view value) { return text(value); }
    bool binary(nlohmann::json::binary_t&) {
        return scalar(MemberValue::of_kind(model_reading::Kind::string));
    }
    bool start_object(std::size_t) { return open(true); }
    bool start_array(std::size_t) { return open(false); }
    bool key(std::string_view name);
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

    ModelFileScan finish();

  private:
    Frame& top() { return frames_[depth_ - 1]; }
    // The frame below the top one: a guard's record.
    Frame& owner() { return frames_[depth_ - 2]; }
    bool scalar(const MemberValue& value);
    bool text(std::string_view value);
    bool open(bool is_object);
    bool close();
    void push(Role role, bool is_object);
    void value_done(bool zero);
    void open_list_member(Frame& record, Member member);
    void close_record(Frame& frame);
    void close_list(Frame& frame);
    void take_references(Frame& frame);
    std::uint32_t symbol_id(const std::string& symbol);
    // How many records the list `list` has pending.
    std::size_t pending_size(Role list) const;

    std::vector<Frame> frames_;  // the open ones are the first `depth_`
    std::size_t depth_ = 0;
    std::size_t ignored_depth_ = 0;  // containers passed over, the first included
    std::vector<std::uint32_t> references_;
    std::vector<std::uint32_t> entries_;
    bool keep_texts_;
    const std::atomic<bool>* stop_;
    // Deques, since a model's records number as many as its equations and
    // variables: they grow without copying what they hold.
    std::deque<EquationRecord> equations_;
    std::vector<std::uint32_t> kept_symbols_;  // the equations' ranges
    std::deque<VariableRecord> variables_;
    std::deque<std::string> symbols_;  // by id; they stay in place for the index
    SymbolIndex symbol_ids_;
    std::vector<std::uint32_t> last_root_;  // by id: the root that last met it, from 1
    std::uint32_t roots_ = 0;
    bool has_language_members_ = false;
};

std::uint32_t NameScanner::symbol_id(const std::string& symbol) {
    const std::size_t found = symbol_ids_.find(symbol);
    if (found != SymbolIndex::none) {
        return static_cast<std::uint32_t>(found);
    }
    const auto id = static_cast<std::uint32_t>(symbols_.size());
    symbols_.push_back(symbol);
    last_root_.push_back(0);
    symbol_ids_.insert_first(symbols_.back(), id);
    return id;
}

std::size_t NameScanner::pending_size(Role list) const {
    switch (list) {
        case Role::equation_list:
            return equations_.size();
        case Role::node_list:
            return references_.size();
        case Role::entry_list:
            return entries_.size();
        default:
            return variables_.size();
    }
}

bool NameScanner::key(std::string_view name) {
    if (ignored_depth_ > 0) {
        return true;
    }
    Frame& frame = top();
    if (!is_record(frame.role) && frame.role != Role::guard && frame.role != Role::document) {
        frame.key = name;
        frame.key_begin = pending_size(frame.role);
        return true;
    }
    frame.member = member_named(name);
    if (frame.role == Role::document && language_members::is_language_member(name)) {
        has_language_members_ = true;
    }
    if (frame.role == Role::guard) {
        if (frame.member == guarding_member(owner().role)) {
            frame.guard_zero = false;  // until a number 0 comes
        }
        return true;
    }
    // The last of repeated members counts: a list member read again starts
    // empty, a guard read again starts unset.
    switch (frame.member) {
        case Member::object:
            frame.guarded = false;
            break;
        case Member::equation_list:
            if (frame.role == Role::document) {
                equations_.clear();
            }
            break;
        case Member::variables:
            if (frame.role == Role::document) {
                variables_.clear();
            } else if (frame.role == Role::root) {
                entries_.resize(frame.entries_mark);
            }
            break;
        case Member::sub_expressions:
            if (is_node(frame.role)) {
                references_.resize(frame.references_mark);
            }
            break;
        default:
            break;
    }
    return true;
}

bool NameScanner::scalar(const MemberValue& value) {
    if (ignored_depth_ > 0) {
        return true;
    }
    if (depth_ == 0) {
        return true;  // a document that is no object holds no model
    }
    Frame& frame = top();
    if (frame.role == Role::guard) {
        if (frame.member == guarding_member(owner().role)) {
            frame.guard_zero = model_reading::equals_zero(value);
        }
        return true;
    }
    if (is_record(frame.role)) {
        switch (frame.member) {
            case Member::type:
                frame.code = model_reading::is_number(value.kind) ||
                                     value.kind == model_reading::Kind::boolean
                                 ? model_reading::as_node_code(value)
                                 : NO_CODE;
                break;
            case Member::equation_name:
                frame.name.clear();
                break;
            case Member::equation_string:
                frame.text.clear();
                break;
            case Member::variable_name:
                frame.name.clear();
                break;
            case Member::string_value:
            case Member::variable_symbol:
                if (frame.member == symbol_member(frame.role)) {
                    frame.has_symbol = false;
                }
                break;
            default:
                break;
        }
        return true;
    }
    if (frame.role != Role::document) {
        value_done(model_reading::equals_zero(value));
    }
    return true;
}

bool NameScanner::text(std::string_view value) {
    if (ignored_depth_ > 0 || depth_ == 0) {
        return true;
    }
    Frame& frame = top();
    if (!is_record(frame.role)) {
        return scalar(MemberValue::of_text(value));
    }
    const bool root = frame.role == Role::root;
    switch (frame.member) {
        case Member::equation_name:
            if (root) {
                frame.name = value;
            }
            break;
        case Member::equation_string:
            if (root && keep_texts_) {
                frame.text = value;
            }
            break;
        case Member::variable_name:
            if (frame.role == Role::variable) {
                frame.name = value;
            }
            break;
        case Member::string_value:
        case Member::variable_symbol:
            if (frame.member == symbol_member(frame.role)) {
                frame.symbol = value;
                frame.has_symbol = true;
            }
            break;
        default:
            break;
    }
    return true;
}

void NameScanner::push(Role role, bool is_object) {
    if (depth_ == frames_.size()) {
        frames_.emplace_back();
    }
    Frame& frame = frames_[depth_++];
    frame.reset(role, is_object);
    frame.references_mark = references_.size();
    frame.entries_mark = entries_.size();
    frame.list_mark = pending_size(role);
}

bool NameScanner::open(bool is_object) {
    if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) {
        return false;  // ends the parse
    }
    if (ignored_depth_ > 0) {
        ++ignored_depth_;
        return true;
    }
    if (depth_ == 0) {
        if (is_object) {
            push(Role::document, true);
        } else {
            ignored_depth_ = 1;
        }
        return true;
    }
    Frame& frame = top();
    const Role role = frame.role;
    if (role == Role::document || is_record(role)) {
        const Member member = frame.member;
        const bool list = (member == Member::sub_expressions && is_node(role)) ||
                          (member == Member::variables && role == Role::root) ||
                          (role == Role::document &&
                           (member == Member::equation_list || member == Member::variables));
        if (list) {
            open_list_member(frame, member);
            top().is_object = is_object;
        } else if (member == Member::object && is_object && role != Role::document) {
            push(Role::guard, true);
        } else {
            ignored_depth_ = 1;
        }
        return true;
    }
    if (role == Role::guard || !is_object) {
        // A guarding member that is a container is no 0; an element that is
        // an array is a fault the plug-in has reported.
        ignored_depth_ = 1;
        return true;
    }
    push(element_of(role), true);
    return true;
}

void NameScanner::open_list_member(Frame& record, Member member) {
    if (record.role == Role::document) {
        push(member == Member::equation_list ? Role::equation_list : Role::variable_list, false);
    } else {
        push(member == Member::sub_expressions ? Role::node_list : Role::entry_list, false);
    }
}

bool NameScanner::close() {
    if (ignored_depth_ > 0) {
        if (--ignored_depth_ == 0 && depth_ != 0) {
            value_done(false);
        }
        return true;
    }
    // Read where it lies: a frame holds texts and lists that a move would copy.
    Frame& frame = top();
    if (frame.role == Role::guard) {
        const bool zero = frame.guard_zero;
        --depth_;
        top().guarded = zero;
        return true;
    }
    if (is_record(frame.role)) {
        close_record(frame);
    } else if (frame.role != Role::document) {
        close_list(frame);
    }
    --depth_;
    if (depth_ != 0) {
        value_done(false);
    }
    return true;
}

// Notes an element of a list written as an object once its value is read.
void NameScanner::value_done(bool zero) {
    Frame& frame = top();
    if (frame.role == Role::document || is_record(frame.role) || frame.role == Role::guard ||
        !frame.is_object) {
        return;
    }
    const std::size_t end = pending_size(frame.role);
    const std::size_t begin = zero ? end : frame.key_begin;
    frame.keyed.push_back({std::move(frame.key), begin, end, zero});
}

// The references a node's residual tree makes, pending above its mark: its
// children's for sums, products, powers and functions, its own symbol for a
// reference, none for the rest.
void NameScanner::take_references(Frame& frame) {
    const std::int32_t code = frame.guarded ? NO_CODE : frame.code;
    const bool children = model_format::reads_children(code);
    if (!children) {
        references_.resize(frame.references_mark);
    }
    if (code == NODE_VARIABLE && frame.has_symbol) {
        references_.push_back(symbol_id(frame.symbol));
    }
}

void NameScanner::close_record(Frame& frame) {
    switch (frame.role) {
        case Role::node:
            take_references(frame);
            return;
        case Role::entry:
            entries_.push_back(symbol_id(frame.guarded ? std::string() : frame.symbol));
            return;
        case Role::variable:
            if (frame.guarded) {
                variables_.push_back({});
            } else {
                variables_.push_back({std::move(frame.symbol), std::move(frame.name)});
            }
            return;
        default:
            break;
    }
    take_references(frame);
    EquationRecord equation;
    ++roots_;
    equation.references_begin = kept_symbols_.size();
    for (std::size_t at = frame.references_mark; at < references_.size(); ++at) {
        const std::uint32_t id = references_[at];
        if (last_root_[id] != roots_) {
            last_root_[id] = roots_;
            kept_symbols_.push_back(id);
        }
    }
    references_.resize(frame.references_mark);
    equation.references_end = equation.entries_begin = kept_symbols_.size();
    if (!frame.guarded) {
        kept_symbols_.insert(kept_symbols_.end(),
                             entries_.begin() + static_cast<std::ptrdiff_t>(frame.entries_mark),
                             entries_.end());
        equation.name = std::move(frame.name);
        equation.text = std::move(frame.text);
    }
    equation.entries_end = kept_symbols_.size();
    entries_.resize(frame.entries_mark);
    equations_.push_back(std::move(equation));
}

template <class Pending>
void keep_key_order(Pending& pending, std::size_t mark, std::vector<KeyedElement>& elements) {
    std::stable_sort(elements.begin(), elements.end(),
                     [](const KeyedElement& a, const KeyedElement& b) { return a.key < b.key; });
    std::vector<typename Pending::value_type> ordered;
    for (std::size_t index = 0; index < elements.size(); ++index) {
        const KeyedElement& element = elements[index];
        const bool replaced = index + 1 < elements.size() && elements[index + 1].key == element.key;
        if (!replaced && !element.zero) {
            std::move(pending.begin() + static_cast<std::ptrdiff_t>(element.begin),
                      pending.begin() + static_cast<std::ptrdiff_t>(element.end),
                      std::back_inserter(ordered));
        }
    }
    pending.resize(mark);
    std::move(ordered.begin(), ordered.end(), std::back_inserter(pending));
}

void NameScanner::close_list(Frame& frame) {
    if (!frame.is_object) {
        return;
    }
    switch (frame.role) {
        case Role::equation_list:
            keep_key_order(equations_, frame.list_mark, frame.keyed);
            break;
        case Role::node_list:
            keep_key_order(references_, frame.list_mark, frame.keyed);
            break;
        case Role::entry_list:
            keep_key_order(entries_, frame.list_mark, frame.keyed);
            break;
        default:
            keep_key_order(variables_, frame.list_mark, frame.keyed);
            break;
    }
}

ModelFileScan NameScanner::finish() {
    ModelFileScan scan;
    scan.has_language_members = has_language_members_;
    std::vector<bool> unknown(symbols_.size(), true);
    for (const VariableRecord& variable : variables_) {
        const std::size_t id = symbol_ids_.find(variable.symbol);
        if (id != SymbolIndex::none) {
            unknown[id] = false;
        }
    }
    scan.variable_symbols.reserve(variables_.size());
    scan.variable_descriptions.reserve(variables_.size());
    for (VariableRecord& variable : variables_) {
        scan.variable_symbols.push_back(std::move(variable.symbol));
        scan.variable_descriptions.push_back(std::move(variable.description));
    }
    scan.equation_names.reserve(equations_.size());
    scan.equation_texts.reserve(equations_.size());
    std::vector<int> listed_in(symbols_.size(), 0);
    int number = 0;
    for (EquationRecord& equation : equations_) {
        ++number;
        for (std::size_t at = equation.references_begin; at < equation.references_end; ++at) {
            const std::uint32_t id = kept_symbols_[at];
            if (unknown[id]) {
                scan.unknown_references.push_back({number, symbols_[id], false});
            }
        }
        for (std::size_t at = equation.entries_begin; at < equation.entries_end; ++at) {
            const std::uint32_t id = kept_symbols_[at];
            if (unknown[id] && listed_in[id] != number) {
                listed_in[id] = number;
                scan.unknown_references.push_back({number, symbols_[id], true});
            }
        }
        scan.entry_count += equation.entries_end - equation.entries_begin;
        scan.equation_names.push_back(std::move(equation.name));
        scan.equation_texts.push_back(std::move(equation.text));
    }
    return scan;
}

}  // namespace

ModelFileScan scan_model_file(const std::string& model_path, ScanTexts texts,
                              const std::atomic<bool>* stop) {
    // As the plug-in reads the file: strictly, and by the JSON library from
    // the start again when the strict reader refuses the text.
    {
        NameScanner scanner(texts, stop);
        FileChunks text(model_path);
        switch (read_strict_json(text, scanner)) {
            case StrictReading::accepted:
                return scanner.finish();
            case StrictReading::stopped:
                return {};
            case StrictReading::refused:
                break;
        }
    }
    NameScanner scanner(texts, stop);
    bool whole = false;
    {
        JoinedLinesText text(model_path);
        whole = nlohmann::json::sax_parse(text.begin(), text.end(), &scanner,
                                          nlohmann::json::input_format_t::json, true);
    }
    return whole ? scanner.finish() : ModelFileScan{};
}
