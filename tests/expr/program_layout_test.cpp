// How programs are laid out: the room reserved before compiling holds every
// instruction, and repeated subtrees are found wherever their first
// evaluation's code was fused with what followed it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "program_builder.h"
#include "tree_builder.h"

namespace {

std::unique_ptr<ModelDefinition> model_of_two_variables() {
    auto model = std::make_unique<ModelDefinition>();
    TreeBuilder(*model).variable("a", 1);
    TreeBuilder(*model).variable("c", 2);
    return model;
}

std::ptrdiff_t count_of(const CompiledProgram& program, Op op) {
    return std::count_if(program.code().begin(), program.code().end(),
                         [op](const Instruction& in) { return in.op == op; });
}

// Trees whose every node the compiler cannot fold away: variables under
// functions, powers and nested sums and products.
ExprNode unfoldable_tree(const TreeBuilder& make, std::mt19937& random, int depth) {
    if (depth == 0) {
        return random() % 3 == 0 ? make.number(2.5) : make.text(NODE_VARIABLE, "a");
    }
    const std::int32_t codes[] = {NODE_SUM, NODE_PRODUCT, NODE_POWER, NODE_FUNCTION};
    const std::int32_t code = codes[random() % 4];
    const std::size_t count = code == NODE_FUNCTION ? 1 + random() % 2 : random() % 4;
    std::vector<ExprNode> children;
    for (std::size_t i = 0; i < count; ++i) {
        children.push_back(unfoldable_tree(make, random, depth - 1));
    }
    return make.parent(code, children, code == NODE_FUNCTION ? "exp" : "");
}

// The room must hold every tree's instructions; were it short, a program
// would be copied as it grows, and the compiler's single write would be lost.
TEST(program_layout, instruction_room_holds_every_instruction) {
    std::mt19937 random(7);
    for (int depth = 0; depth <= 6; ++depth) {
        for (int tree = 0; tree < 50; ++tree) {
            auto model = model_of_two_variables();
            const ExprNode root = unfoldable_tree(TreeBuilder(*model), random, depth);
            const std::size_t room = instruction_room(*model, 1);
            ProgramBuilder builder(*model, 2);
            builder.reserve(room);
            builder.add(&root, 1);
            const CompiledProgram program = builder.build();
            EXPECT_EQ(program.code().capacity(), room) << "depth " << depth << " tree " << tree;
        }
    }
    auto empty = model_of_two_variables();
    ProgramBuilder builder(*empty, 2);
    builder.reserve(instruction_room(*empty, 1));
    builder.add(nullptr, 1);  // the constant 0.0 and its STORE
    EXPECT_EQ(builder.build().code().size(), 3u);
}

struct SharingCase {
    const char* what;
    ExprNode (*tree)(const TreeBuilder& make);
    std::ptrdiff_t reads;  // PUSH_SLOTs when the tree is compiled twice
    std::ptrdiff_t keeps;
};

class program_sharing : public testing::TestWithParam<SharingCase> {};

// Each tree compiled twice into one program: every repeat of a subtree that
// calls the library is read back, also where its first evaluation's last
// instruction has since been fused with the step that took its value.
TEST_P(program_sharing, reads_back_each_repeat) {
    auto model = model_of_two_variables();
    const ExprNode tree = GetParam().tree(TreeBuilder(*model));
    ProgramBuilder builder(*model, 2);
    builder.reserve(instruction_room(*model, 2));
    builder.add(&tree, 1);
    builder.add(&tree, 2);
    const CompiledProgram program = builder.build();
    EXPECT_EQ(count_of(program, Op::PUSH_SLOT) + count_of(program, Op::PUSH_SLOT_ADD) +
                  count_of(program, Op::PUSH_SLOT_MUL),
              GetParam().reads);
    EXPECT_EQ(count_of(program, Op::KEEP), GetParam().keeps);
}

INSTANTIATE_TEST_SUITE_P(
    program_layout, program_sharing,
    testing::Values(
        SharingCase{"a function of a variable",
                    [](const TreeBuilder& make) {
                        return make.parent(NODE_FUNCTION, {make.text(NODE_VARIABLE, "c")}, "ln");
                    },
                    1, 1},
        SharingCase{"a repeat inside a sum: the first fused with the sum's step",
                    [](const TreeBuilder& make) {
                        const ExprNode ln =
                            make.parent(NODE_FUNCTION, {make.text(NODE_VARIABLE, "c")}, "ln");
                        return make.parent(NODE_SUM, {ln, ln});
                    },
                    3, 1},
        SharingCase{"a power repeated inside a product",
                    [](const TreeBuilder& make) {
                        const ExprNode power = make.parent(
                            NODE_POWER, {make.text(NODE_VARIABLE, "a"), make.number(-1.0)});
                        return make.parent(NODE_PRODUCT, {make.number(3.0), power, power});
                    },
                    3, 1},
        SharingCase{"a power fused into its sum's step, repeated in the next tree",
                    [](const TreeBuilder& make) {
                        const ExprNode power = make.parent(
                            NODE_POWER, {make.text(NODE_VARIABLE, "a"), make.number(2.0)});
                        return make.parent(NODE_SUM, {make.text(NODE_VARIABLE, "c"), power});
                    },
                    1, 1},
        SharingCase{
            "a function of a sum: only its power repeats as code",
            [](const TreeBuilder& make) {
                const ExprNode power =
                    make.parent(NODE_POWER, {make.text(NODE_VARIABLE, "c"), make.number(0.5)});
                const ExprNode sum = make.parent(NODE_SUM, {power, make.text(NODE_VARIABLE, "a")});
                return make.parent(NODE_FUNCTION, {sum}, "exp");
            },
            1, 1},
        SharingCase{"powers of -0.0 and 0.0 are different code",
                    [](const TreeBuilder& make) {
                        const ExprNode a = make.text(NODE_VARIABLE, "a");
                        return make.parent(NODE_SUM,
                                           {make.parent(NODE_POWER, {a, make.number(-0.0)}),
                                            make.parent(NODE_POWER, {a, make.number(0.0)})});
                    },
                    2, 2}));

}  // namespace
