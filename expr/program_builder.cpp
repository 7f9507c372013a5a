#include "program_builder.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "function_table.h"
#include "node_children.h"
#include "ordered_arithmetic.h"

namespace {

// What a combining operation (ADD_K, MUL_K or POW_K) does to two known
// values, for folding.
double combine_known(Op op, double top, double k) {
    if (op == Op::ADD_K) {
        return sum_step(top, k);
    }
    if (op == Op::MUL_K) {
        return product_step(top, k);
    }
    return std::pow(top, k);
}

}  // namespace

std::size_t instruction_room(const ModelDefinition& model, std::size_t trees) {
    const std::size_t nodes = model.storage().node_count() + model.equations().size();
    return 1 + 2 * trees + 2 * nodes;
}

void ProgramBuilder::add(const ExprNode* root, std::int32_t number) {
    if (root) {
        compile(*root);
    } else {
        push_constant(0.0);
    }
    if (number >= 1) {
        emit(Op::STORE, 0.0, static_cast<std::uint32_t>(number - 1));
    } else {
        emit(Op::DROP);
    }
}

CompiledProgram ProgramBuilder::build() {
    sharing_.insert_keeps(code_);
    return CompiledProgram(std::move(code_), std::move(texts_), sharing_.slots());
}

void ProgramBuilder::compile(const ExprNode& root) {
    frames_.clear();
    const ExprNode* node = &root;
    for (;;) {
        for (std::size_t children; (children = children_evaluated(*node)) > 0;) {
            frames_.push_back(Frame{node, 1, children, code_.size()});
            open(*node);
            node = &node->subexpressions().front();
        }
        emit_leaf(*node);
        for (;;) {
            if (frames_.empty()) {
                return;
            }
            Frame& parent = frames_.back();
            take_child(parent);
            if (parent.next_child < parent.children) {
                node = &parent.node->subexpressions()[parent.next_child++];
                break;
            }
            close(parent);
            sharing_.share(code_, parent.code_start);
            frames_.pop_back();
        }
    }
}

// A sum or product starts its accumulator before its first child.
void ProgramBuilder::open(const ExprNode& node) {
    if (node.type() == NODE_SUM) {
        push_constant(0.0);
    } else if (node.type() == NODE_PRODUCT) {
        push_constant(1.0);
    }
}

// Child number next_child - 1 of `parent` has just been pushed.
void ProgramBuilder::take_child(const Frame& parent) {
    switch (parent.node->type()) {
        case NODE_SUM:
            combine(Op::ADD_S, Op::ADD_K, Op::ADD_V);
            break;
        case NODE_PRODUCT:
            combine(Op::MUL_S, Op::MUL_K, Op::MUL_V);
            break;
        case NODE_POWER:
            if (parent.next_child == 2) {
                combine(Op::POW_S, Op::POW_K, Op::POW_V);
            }
            break;
        default:  // the function's argument stays on the stack
            break;
    }
}

void ProgramBuilder::close(const Frame& frame) {
    if (frame.node->type() == NODE_POWER && frame.children == 1) {
        combine_constant(Op::POW_K, 0.0);  // the missing exponent
    } else if (frame.node->type() == NODE_FUNCTION) {
        apply(function_named(frame.node->string_value()));
    }
}

void ProgramBuilder::emit_leaf(const ExprNode& node) {
    switch (node.type()) {
        case NODE_NUMBER:
            push_constant(node.double_value());
            break;
        case NODE_NUMERIC_TEXT:
            emit(Op::PUSH_T, 0.0, texts_.add(std::string(node.string_value())));
            break;
        case NODE_VARIABLE:
            emit_reference(node);
            break;
        default:
            push_constant(childless_value(node));
            break;
    }
}

void ProgramBuilder::emit_reference(const ExprNode& node) {
    const VariableDef* variable = model_.find_variable(node.string_value());
    const std::int32_t number = variable ? variable->variable_number : 0;
    if (number >= 1 && static_cast<std::size_t>(number) <= value_count_) {
        emit(Op::PUSH_V, 0.0, static_cast<std::uint32_t>(number - 1));
    } else {
        push_constant(0.0);
    }
}

void ProgramBuilder::push_constant(double k) {
    emit(Op::PUSH_K, k);
}

// Combines the value just pushed into the one below it, taking a pushed
// constant or variable as the operand of one instruction instead, or doing it
// in the instruction that computed the value.
void ProgramBuilder::combine(Op with_stack, Op with_constant, Op with_value) {
    const Instruction last = code_.back();
    if (last.op == Op::PUSH_K) {
        code_.pop_back();
        combine_constant(with_constant, last.k);
    } else if (last.op == Op::PUSH_V) {
        code_.pop_back();
        combine_value(with_value, last.arg);
    } else if (const Op both = fused(last.op, with_stack); both != last.op) {
        code_.back().op = both;
    } else {
        emit(with_stack);
    }
}

void ProgramBuilder::combine_constant(Op op, double k) {
    if (!code_.empty() && code_.back().op == Op::PUSH_K) {
        code_.back().k = combine_known(op, code_.back().k, k);
    } else if (!code_.empty() && code_.back().op == Op::PUSH_V && of_value(op) != op) {
        code_.back().op = of_value(op);
        code_.back().k = k;
    } else {
        emit(op, k);
    }
}

void ProgramBuilder::combine_value(Op op, std::uint32_t index) {
    Instruction& last = code_.back();
    if (last.op == Op::PUSH_K && op != Op::POW_V) {
        last.op = op == Op::ADD_V ? Op::K_ADD_V : Op::K_MUL_V;
        last.arg = index;
    } else {
        emit(op, 0.0, index);
    }
}

// A function of the value on top (`function` null for a name that is none of
// the six, which makes it 0); the argument has been evaluated already, so
// only a known argument is dropped for such a name.
void ProgramBuilder::apply(const FunctionRow* function) {
    Instruction& last = code_.back();
    const bool known = last.op == Op::PUSH_K || last.op == Op::PUSH_V;
    const Op op = function ? function->op : Op::ZERO;
    if (known && !function) {
        last = Instruction{0.0, 0, Op::PUSH_K};
    } else if (last.op == Op::PUSH_K && function) {
        last.k = function->value(last.k);
    } else if (last.op == Op::PUSH_V && of_value(op) != op) {
        last.op = of_value(op);
    } else {
        emit(op);
    }
}

void ProgramBuilder::emit(Op op, double k, std::uint32_t arg) {
    code_.push_back(Instruction{k, arg, op});
}
