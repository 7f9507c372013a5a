#pragma once

// The block's numerical answers: its Jacobian pattern, residuals and Jacobian
// values, each written by host number into the host's structures. All walk
// the equations in file order and, within each, its entries in file order.

#include <cstdint>

#include "compiled_model.h"
#include "host_matrix.h"
#include "model_definition.h"

// Declares one nonzero per entry, numbered from `nz_start`, with its
// equation's and its variable's numbers; answers the last number declared
// (nz_start - 1 when there are none).
std::int32_t declare_pattern(const ModelDefinition& model, rt_jac_t* jacobian,
                             std::int32_t nz_start);

// Writes each equation's residual into the host's residual vector, running
// `compiled`, which must have been compiled for numbering.var_last: the
// values are read from the host's value vector, of which the block's
// variables are the numbers up to var_last. An exception from a tree leaves
// the residuals before it written. False, with nothing written, when the host
// gives no vector where one is needed.
bool write_residuals(const ModelDefinition& model, CompiledModel& compiled, const HostMatrix& host);

// Writes each entry's derivative into the host's Jacobian value vector; an
// entry without a derivative tree is worth 0.0. Faults as write_residuals.
bool write_jacobian(const ModelDefinition& model, CompiledModel& compiled, const HostMatrix& host,
                    const BlockNumbering& numbering);
