#include "compiled_model.h"

#include <cstddef>
#include <utility>

#include "program_builder.h"

namespace {

// One program: its room sized first (so it is never copied as it grows, and
// the room it does not use is never touched), then every tree that
// `each_tree` visits, in order. One program is compiled at a time, so that
// one compiler's tables are freed before the next one's fill.
template <class EachTree>
CompiledProgram compile_program(const ModelDefinition& model, std::size_t value_count,
                                std::size_t trees, const EachTree& each_tree) {
    ProgramBuilder builder(model, value_count);
    builder.reserve(instruction_room(model, trees));
    each_tree([&](const ExprNode* root, std::int32_t number) { builder.add(root, number); });
    return builder.build();
}

}  // namespace

CompiledModel compile_model(const ModelDefinition& model, std::int32_t var_last) {
    const std::size_t value_count = var_last > 0 ? static_cast<std::size_t>(var_last) : 0;
    const auto residual_trees = [&](const auto& visit) {
        for (const auto& equation : model.equations()) {
            visit(&equation, equation.equation_number());
        }
    };
    const auto derivative_trees = [&](const auto& visit) {
        for (const auto& equation : model.equations()) {
            for (const auto& entry : equation.variables()) {
                visit(entry.differential, entry.nonzero_number);
            }
        }
    };
    std::size_t entries = 0;
    for (const auto& equation : model.equations()) {
        entries += equation.variables().size();
    }
    CompiledProgram residuals =
        compile_program(model, value_count, model.equations().size(), residual_trees);
    CompiledProgram jacobian = compile_program(model, value_count, entries, derivative_trees);
    return CompiledModel{std::move(residuals), std::move(jacobian), var_last};
}
