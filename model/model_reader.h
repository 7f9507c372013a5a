#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "expr_node.h"
#include "member_values.h"
#include "model_definition.h"
#include "variable_def.h"

// Builds a model from the JSON library's parse events, straight into the
// model's storage: no document of the whole file is ever held. It reads the
// file as the library's document would be read, member by member in the
// format's order (objects as lists in key order, the last of repeated keys),
// and it finds the same first fault; since a fault may only be known once
// later members have arrived, faults are noted where they occur and the
// first in reading order is raised by `finish`, after the whole text parsed.
class ModelReader {
  public:
    // With `with_places`, each fault notes its place (see `raised()`), which
    // costs a text per fault; loading has no use for it.
    explicit ModelReader(ModelStorage& storage, bool with_places = false)
        : storage_(storage), with_places_(with_places) {}

    // The parse events.
    bool null();
    bool boolean(bool value);
    bool number_integer(std::int64_t value);
    bool number_unsigned(std::uint64_t value);
    bool number_float(double value, std::string_view text);
    bool string(std::string_view value);
    bool binary(nlohmann::json::binary_t& value);
    bool start_object(std::size_t elements);
    bool start_array(std::size_t elements);
    bool key(std::string_view name);
    bool end_object();
    bool end_array();
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

    // Appends the equations, then the model variables, to `model`, up to the
    // first fault, which it then raises.
    void finish(ModelDefinition& model);
    // The fault `finish` raised, with its place when the reader notes places:
    // the JSON pointer of the member or list element whose value is at fault
    // ("" for the document itself).
    const model_reading::Fault& raised() const { return raised_; }

  private:
    using Kind = model_reading::Kind;
    using MemberValue = model_reading::MemberValue;

    enum class Role : std::uint8_t { document, root, node, entry, node_list, entry_list, guard };
    // What a member of a node, entry, root or guard object is to the loader.
    enum Slot : std::uint8_t {
        // node members with plain values
        TYPE,
        EQUATION_NAME,
        EQUATION_STRING,
        DOUBLE_VALUE,
        STRING_VALUE,
        // entry members with plain values
        VARIABLE_NAME = 0,
        VARIABLE_SYMBOL,
        MIN,
        MAX,
        INITIAL,
        PLAIN_MEMBERS,
        // members holding records
        CHILDREN = PLAIN_MEMBERS,  // "SubExpressions", the root's "EquationList"
        ENTRIES,                   // "Variables"
        DIFFERENTIAL,
        GUARD,      // "object"
        GUARD_KEY,  // its "Type" or "VariableSymbol"
        OTHER,
    };

    // A list member: a container's elements in the pending records, or a
    // value standing alone; the model's own lists, given as arrays, are
    // written straight into a TopList instead.
    struct ListMember {
        MemberValue value;
        std::size_t first = 0;
        std::size_t last = 0;
        bool top = false;
    };

    // What an element of a list or a derivative tree came to.
    struct Outcome {
        static constexpr std::int32_t NO_FAULT = -1;
        std::int32_t fault = NO_FAULT;  // index in `faults_`
        bool skipped = false;           // a 0 element, left out of its list
        bool guarded = false;           // a record whose guard says to keep the defaults
        std::size_t key_offset = 0;     // in `keys_`, for an element of an object
        std::size_t key_size = 0;
    };

    // The elements of one of the document's two lists, given as an array,
    // written where the model takes them over: its elements arrive in list
    // order, so each is kept, skipped or found faulty as it closes, and
    // nothing after the first fault is kept. A million equation roots then
    // wait in no pending list and are never copied.
    template <class Record>
    struct TopList {
        std::vector<Record> records;
        std::int32_t fault = Outcome::NO_FAULT;

        void restart() {
            records.clear();
            fault = Outcome::NO_FAULT;
        }
        void take(const Record& record, const Outcome& outcome);
    };

    // An open object or array that the loader reads.
    struct Frame {
        explicit Frame(Role frame_role) : role(frame_role) {}
        Role role;
        Slot slot = OTHER;
        bool is_object = false;
        bool top_list = false;  // its elements go to a TopList
        MemberValue plain[PLAIN_MEMBERS];
        MemberValue guard;
        bool guard_skips = false;
        ListMember children;
        ListMember entries;
        MemberValue differential;
        std::size_t differential_node = 0;
        // Sizes of the pending records, keys and faults when the frame
        // opened: everything above them is the frame's own.
        std::size_t nodes_mark = 0;
        std::size_t entries_mark = 0;
        std::size_t keys_mark = 0;
        std::size_t faults_mark = 0;
        // The key of the element being read, in an object list.
        std::size_t key_offset = 0;
        std::size_t key_size = 0;
        // The elements begun so far, in a list: the last is being read.
        std::size_t elements = 0;
    };

    bool scalar(const MemberValue& value);
    bool open(Kind kind);
    bool close();

    Frame& top() { return frames_.back(); }
    Frame& owner() { return frames_[frames_.size() - 2]; }
    void push_frame(Role role);
    void ignore_container() { ignored_depth_ = 1; }
    static Slot slot_of(Role role, bool in_guard, std::string_view name);
    ListMember& list_of(Frame& frame);
    bool keeps_text(const Frame& frame) const;

    void add_element(Role list_role, const MemberValue& value);
    template <class Record>
    void push_element(std::vector<Record>& records, std::vector<Outcome>& outcomes,
                      const Record& record, Outcome outcome);
    TopList<ExprNode>& top_list_of(const ExprNode&) { return equation_roots_; }
    TopList<VariableDef>& top_list_of(const VariableDef&) { return model_variables_; }
    // Notes a fault of the value of `member` of the record on top, or, with
    // no member, of the element being read in the list on top.
    std::int32_t note(model_reading::Fault fault, const char* member = nullptr);
    // The JSON pointer of that value.
    std::string place_of(const char* member) const;
    std::string step_into(const Frame& parent) const;
    std::string element_step(const Frame& list) const;
    static const char* list_member(Role role, Slot slot);

    void close_node();
    void close_entry();
    void close_list();
    ExprNode read_node(Frame& frame, std::int32_t& fault, bool& guarded);
    VariableDef read_entry(Frame& frame, std::int32_t& fault, bool& guarded);
    std::int32_t guard_fault(const Frame& frame);
    std::int32_t read_children(const ListMember& list, const char* member,
                               Span<const ExprNode>& children);
    std::int32_t read_entries(const ListMember& list, const char* member,
                              Span<VariableDef>& entries);
    std::int32_t read_differential(const Frame& frame, const ExprNode*& differential);
    // `member` names the list, whose value may be at fault.
    template <class Record>
    std::int32_t gather(std::vector<Record>& records, const std::vector<Outcome>& outcomes,
                        const ListMember& list, const char* member, std::size_t& kept);
    template <class Record>
    void keep_last_of_each_key(std::vector<Record>& records, std::vector<Outcome>& outcomes,
                               std::size_t first);
    void drop_above(const Frame& frame, std::int32_t& fault);

    ModelStorage& storage_;
    bool with_places_;
    model_reading::Fault raised_{};
    std::vector<Frame> frames_{Frame(Role::document)};
    // Containers whose contents the loader does not read.
    std::size_t ignored_depth_ = 0;
    MemberValue document_;
    // Finished records waiting for the record that holds them.
    std::vector<ExprNode> nodes_;
    std::vector<Outcome> node_outcomes_;
    std::vector<VariableDef> entries_;
    std::vector<Outcome> entry_outcomes_;
    std::string keys_;
    std::vector<model_reading::Fault> faults_;
    // The root object's lists, once it closed.
    ListMember equations_;
    ListMember variables_;
    TopList<ExprNode> equation_roots_;
    TopList<VariableDef> model_variables_;
};
