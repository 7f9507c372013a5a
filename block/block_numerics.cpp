#include "block_numerics.h"

#include <cstddef>

namespace {

bool any_entry(const ModelDefinition& model) {
    for (const auto& equation : model.equations()) {
        if (!equation.variables().empty()) {
            return true;
        }
    }
    return false;
}

bool values_missing(const double* values, const ModelDefinition& model) {
    return !values && !model.variables().empty();
}

}  // namespace

std::int32_t declare_pattern(const ModelDefinition& model, rt_jac_t* jacobian,
                             std::int32_t nz_start) {
    std::int32_t nonzero = nz_start - 1;
    for (const auto& equation : model.equations()) {
        for (const auto& entry : equation.variables()) {
            ++nonzero;
            rtojac_set_nz_eqnnum(jacobian, nonzero, equation.equation_number());
            rtojac_set_nz_varnum(jacobian, nonzero, entry.variable_number);
        }
    }
    return nonzero;
}

bool write_residuals(const ModelDefinition& model, CompiledModel& compiled,
                     const HostMatrix& host) {
    const double* values = rtovarlst_vec_value(host.variables);
    double* residuals = rtoeqnlst_vec_residual(host.equations);
    rtoeqnlst_vec_status(host.equations);
    if (values_missing(values, model) || (!residuals && !model.equations().empty())) {
        return false;
    }
    compiled.residuals.run(values, residuals);
    return true;
}

bool write_jacobian(const ModelDefinition& model, CompiledModel& compiled, const HostMatrix& host,
                    const BlockNumbering& numbering) {
    double* derivatives = rtojac_vec_bj(host.jacobian);
    const double* values = rtovarlst_vec_value(host.variables);
    rtojac_inq_nz_varnum(host.jacobian, numbering.nz_start);
    if (values_missing(values, model) || (!derivatives && any_entry(model))) {
        return false;
    }
    compiled.jacobian.run(values, derivatives);
    return true;
}
