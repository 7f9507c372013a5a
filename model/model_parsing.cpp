#include "model_parsing.h"

#include <utility>
#include <vector>

#include "json_reading.h"

namespace {

using model_json::equals_zero;
using model_json::guard_says_skip;
using model_json::ListElements;
using model_json::member;
using model_json::read_double;
using model_json::read_node_code;
using model_json::read_text;
using model_json::Value;

// One record under construction. A node walks its children, then its entries;
// a variable may still have its derivative tree to read.
struct Frame {
    enum class Phase { children, entries, differential, done };

    explicit Frame(Value read_from) : value(read_from), list(read_from) {}

    std::unique_ptr<ExprNode> node;
    std::unique_ptr<VariableDef> variable;
    Value value;
    Phase phase = Phase::done;
    // The list being walked (children or entries), and the next element.
    ListElements list;
    std::size_t next = 0;
};

void walk_list(Frame& frame, Frame::Phase phase, Value list) {
    frame.phase = phase;
    frame.list = ListElements(list);
    frame.next = 0;
}

// Reads a node's own members; its children and entries follow as frames.
Frame start_node(Value value) {
    Frame frame(value);
    frame.node = std::make_unique<ExprNode>();
    if (equals_zero(value) || guard_says_skip(value, "Type")) {
        return frame;
    }
    ExprNode& node = *frame.node;
    const std::int32_t code = read_node_code(member(value, "Type"));
    if (!member(value, "EquationName").is_null()) {
        node.equation_name = read_text(member(value, "EquationName"));
    }
    if (!member(value, "EquationString").is_null()) {
        node.equation_string = read_text(member(value, "EquationString"));
    }
    switch (code) {
        case NODE_SUM:
        case NODE_PRODUCT:
        case NODE_POWER:
            node.type = code;
            walk_list(frame, Frame::Phase::children, member(value, "SubExpressions"));
            return frame;
        case NODE_NUMBER:
            node.type = code;
            node.double_value = read_double(member(value, "DoubleValue"));
            break;
        case NODE_NUMERIC_TEXT:
        case NODE_VARIABLE:
            node.type = code;
            node.string_value = read_text(member(value, "StringValue"));
            break;
        case NODE_FUNCTION:
            node.type = code;
            node.string_value = read_text(member(value, "StringValue"));
            walk_list(frame, Frame::Phase::children, member(value, "SubExpressions"));
            return frame;
        default:
            break;
    }
    walk_list(frame, Frame::Phase::entries, member(value, "Variables"));
    return frame;
}

// Reads a variable's own members; its derivative tree follows as a frame.
Frame start_variable(Value value) {
    Frame frame(value);
    frame.variable = std::make_unique<VariableDef>();
    if (equals_zero(value) || guard_says_skip(value, "VariableSymbol")) {
        return frame;
    }
    VariableDef& variable = *frame.variable;
    if (!member(value, "VariableName").is_null()) {
        variable.variable_name = read_text(member(value, "VariableName"));
    }
    variable.variable_symbol = read_text(member(value, "VariableSymbol"));
    double VariableDef::*const bounds[] = {&VariableDef::min, &VariableDef::max,
                                           &VariableDef::initial};
    const char* const bound_keys[] = {"Min", "Max", "Initial"};
    for (std::size_t i = 0; i < 3; ++i) {
        const Value bound = member(value, bound_keys[i]);
        if (!bound.is_null()) {
            variable.*bounds[i] = read_double(bound);
        }
    }
    const Value differential = member(value, "Differential");
    if (!differential.is_null() && !equals_zero(differential) &&
        !guard_says_skip(differential, "Type")) {
        frame.phase = Frame::Phase::differential;
        frame.value = differential;
    }
    return frame;
}

// The next record `frame` holds, started as a new frame; false when `frame`
// is complete. List elements that are 0 are skipped.
bool start_next_part(Frame& frame, std::vector<Frame>& stack) {
    while (frame.phase == Frame::Phase::children || frame.phase == Frame::Phase::entries) {
        while (frame.next < frame.list.size()) {
            const Value element = frame.list[frame.next++];
            if (!equals_zero(element)) {
                const bool is_child = frame.phase == Frame::Phase::children;
                stack.push_back(is_child ? start_node(element) : start_variable(element));
                return true;
            }
        }
        if (frame.phase == Frame::Phase::children) {
            walk_list(frame, Frame::Phase::entries, member(frame.value, "Variables"));
        } else {
            frame.phase = Frame::Phase::done;
        }
    }
    if (frame.phase == Frame::Phase::differential) {
        frame.phase = Frame::Phase::done;
        stack.push_back(start_node(frame.value));
        return true;
    }
    return false;
}

// Hands a complete record to the record that was waiting for it.
void attach(Frame& parent, Frame&& part) {
    if (parent.variable) {
        parent.variable->differential = std::move(part.node);
    } else if (part.node) {
        parent.node->subexpressions.push_back(std::move(part.node));
    } else {
        parent.node->variables.push_back(std::move(part.variable));
    }
}

// Completes `root` and everything below it, depth first in file order, with
// an explicit stack instead of recursion.
Frame complete(Frame root) {
    std::vector<Frame> stack;
    stack.push_back(std::move(root));
    for (;;) {
        // start_next_part may grow the stack, so the frame is looked up anew.
        if (start_next_part(stack.back(), stack)) {
            continue;
        }
        Frame part = std::move(stack.back());
        stack.pop_back();
        if (stack.empty()) {
            return part;
        }
        attach(stack.back(), std::move(part));
    }
}

}  // namespace

std::unique_ptr<ExprNode> parse_expression(JsonDocument::Value value) {
    return complete(start_node(value)).node;
}

std::unique_ptr<VariableDef> parse_variable(JsonDocument::Value value) {
    return complete(start_variable(value)).variable;
}
