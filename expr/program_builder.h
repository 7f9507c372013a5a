#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "compiled_program.h"
#include "expr_node.h"
#include "function_table.h"
#include "model_definition.h"
#include "subtree_sharing.h"

// Compiles expression trees of one model into a CompiledProgram, each tree
// in the order of the walk, so the program performs the walk's operations on
// the same operands in the same order. Symbols are resolved here, once: a
// reference reads the first model variable of its symbol at element
// variable_number - 1 of a value vector of `value_count` elements, and reads
// 0.0 when there is no such variable or the number lies outside the vector.
// Constants are folded only by performing the very operation the walk would;
// a subtree that repeats one compiled earlier reads that one's value.
// The compilation keeps its own stack, so trees of any depth compile.
// Room for the instructions of `trees` trees of `model` and the END, found
// without walking the trees. Every evaluated node emits at most one
// instruction of its own and one that takes in its value, so a tree of n
// nodes takes at most 2n with its STORE or DROP, and a missing tree 2; the
// model's nodes are its storage's and its equations' roots. Never short for
// trees of the model, and room a program does not use is never touched.
std::size_t instruction_room(const ModelDefinition& model, std::size_t trees);

class ProgramBuilder {
  public:
    ProgramBuilder(const ModelDefinition& model, std::size_t value_count)
        : model_(model), value_count_(value_count) {}

    // Makes room for `instructions` (from instruction_room), so that the
    // program is written once into its final array.
    void reserve(std::size_t instructions) { code_.reserve(instructions); }

    // Adds `root`, or the value 0.0 when it is null, stored at element
    // `number` - 1 of the output; a number below 1 is evaluated and not kept.
    void add(const ExprNode* root, std::int32_t number);

    CompiledProgram build();

  private:
    struct Frame {
        const ExprNode* node;
        std::size_t next_child;
        std::size_t children;    // evaluated ones
        std::size_t code_start;  // where the node's code begins
    };

    void compile(const ExprNode& root);
    void open(const ExprNode& node);
    void take_child(const Frame& parent);
    void close(const Frame& frame);
    void emit_leaf(const ExprNode& node);
    void emit_reference(const ExprNode& node);

    // Emitters that fold what the instruction before them allows.
    void push_constant(double k);
    void combine(Op with_stack, Op with_constant, Op with_value);
    void combine_constant(Op op, double k);
    void combine_value(Op op, std::uint32_t index);
    void apply(const FunctionRow* function);
    void emit(Op op, double k = 0.0, std::uint32_t arg = 0);

    const ModelDefinition& model_;
    std::size_t value_count_;
    InstructionVector code_;
    TextConstants texts_;
    SubtreeSharing sharing_;
    std::vector<Frame> frames_;
};
