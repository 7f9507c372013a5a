#include "compiled_model.h"

#include <cstddef>

#include "program_builder.h"

CompiledModel compile_model(const ModelDefinition& model, std::int32_t var_last) {
    const std::size_t value_count = var_last > 0 ? static_cast<std::size_t>(var_last) : 0;
    ProgramBuilder residuals(model, value_count);
    ProgramBuilder jacobian(model, value_count);
    // Room for every instruction up front: a program is never copied as it
    // grows, and the room it does not use is never touched.
    std::size_t residual_room = 1;  // the END
    std::size_t jacobian_room = 1;
    for (const auto& equation : model.equations()) {
        residual_room += instruction_bound(&equation);
        for (const auto& entry : equation.variables()) {
            jacobian_room += instruction_bound(entry.differential);
        }
    }
    residuals.reserve(residual_room);
    jacobian.reserve(jacobian_room);
    for (const auto& equation : model.equations()) {
        residuals.add(&equation, equation.equation_number());
        for (const auto& entry : equation.variables()) {
            jacobian.add(entry.differential, entry.nonzero_number);
        }
    }
    return CompiledModel{residuals.build(), jacobian.build(), var_last};
}
