#pragma once

#include <cstdint>

#include "compiled_program.h"
#include "model_definition.h"

// A registered model's trees compiled for the numerical operations: every
// residual tree, stored by equation number, and every entry's derivative tree,
// stored by nonzero number, each program in file order. Compiled against the
// host numbers registration gave and against the block's value vector of
// `var_last` elements; valid while those stay.
struct CompiledModel {
    CompiledProgram residuals;
    CompiledProgram jacobian;
    std::int32_t var_last = 0;
};

CompiledModel compile_model(const ModelDefinition& model, std::int32_t var_last);
