#include "compiled_model.h"

#include <cstddef>

#include "program_builder.h"

CompiledModel compile_model(const ModelDefinition& model, std::int32_t var_last) {
    const std::size_t value_count = var_last > 0 ? static_cast<std::size_t>(var_last) : 0;
    ProgramBuilder residuals(model, value_count);
    ProgramBuilder jacobian(model, value_count);
    for (const auto& equation : model.equations()) {
        residuals.add(&equation, equation.equation_number());
        for (const auto& entry : equation.variables()) {
            jacobian.add(entry.differential, entry.nonzero_number);
        }
    }
    return CompiledModel{residuals.build(), jacobian.build(), var_last};
}
