#include "quillon_block.h"

#include <cstring>
#include <utility>

#include "block_numerics.h"
#include "block_structure.h"
#include "module_counters.h"
#include "solve_verdict.h"
#include "zel_container.h"

namespace {

constexpr const char* STATUS_TEXT_ATTRIBUTE = "STATUS_TEXT";
constexpr const char* SOLVE_FLAG_ATTRIBUTE = "SOLVE_FLAG";
constexpr int OWN_ATTRIBUTES = 2;

}  // namespace

QUILLON::QUILLON(const char* name) : ZELEOBlockImpl(name) {}

QUILLON::~QUILLON() = default;

void QUILLON::attach_model(std::unique_ptr<ModelDefinition> model) {
    symbols_.reset();
    model_ = std::move(model);
}

void QUILLON::keep_parameter_text(const char* text) {
    copy_parameter_text(parameter_text_, text);
}

void QUILLON::destroy() {
    --quillon_module::live_block_count;
    delete this;
}

bool QUILLON::isof_type(const char* type_name) const {
    // The host's base answers false for a null name; so must the block.
    return (type_name && std::strcmp(type_name, TYPE_NAME) == 0) ||
           ZELEOBlockImpl::isof_type(type_name);
}

int QUILLON::method_count() const {
    return 0;
}

int QUILLON::persist_type(char* buffer, std::size_t size) const {
    const std::size_t needed = std::strlen(TYPE_NAME) + 1;
    if (!buffer || size < needed) {
        return 1;
    }
    std::memcpy(buffer, TYPE_NAME, needed);
    return 0;
}

int QUILLON::persist_save() {
    return 0;
}

int QUILLON::persist_load() {
    return 0;
}

bool QUILLON::attr_lookup(const char* name, value_t& out) const {
    if (name && std::strcmp(name, STATUS_TEXT_ATTRIBUTE) == 0) {
        out = value_t{};
        out.text = status_text_;
        out.type = status_text_ ? VALUE_TEXT : VALUE_NONE;
        return true;
    }
    if (name && std::strcmp(name, SOLVE_FLAG_ATTRIBUTE) == 0) {
        out = value_t{};
        out.integer = solve_flag_ ? 1 : 0;
        out.type = VALUE_INTEGER;
        return true;
    }
    if (const char* symbol = symbols_ ? symbols_->lookup(name) : nullptr) {
        out = value_t{};
        out.text = symbol;
        out.type = VALUE_TEXT;
        return true;
    }
    return ZELEOBlockImpl::attr_lookup(name, out);
}

const char* QUILLON::attr_describe(int index) const {
    switch (index) {
        case 0:
            return STATUS_TEXT_ATTRIBUTE;
        case 1:
            return SOLVE_FLAG_ATTRIBUTE;
        default:
            return index < 0 ? nullptr : ZELEOBlockImpl::attr_describe(index - OWN_ATTRIBUTES);
    }
}

HostMatrix QUILLON::host_matrix() const {
    HostMatrix host;
    inq_matrix(host.variables, host.equations, host.jacobian);
    return host;
}

BlockNumbering QUILLON::numbering() const {
    return BlockNumbering{var_start, var_last, eqn_start, eqn_last, nz_start, nz_last};
}

CompiledModel& QUILLON::compiled() {
    if (compiled_->var_last != var_last) {
        *compiled_ = compile_model(*model_, var_last);
    }
    return *compiled_;
}

void QUILLON::user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t&) {
    const BlockDimensions dimensions = count_dimensions(model_.get());
    num_var = dimensions.variables;
    num_eqn = dimensions.equations;
    num_nz = dimensions.nonzeros;
}

void QUILLON::user_ini(std::int64_t& status) {
    status = 0;
    const HostMatrix host = host_matrix();
    if (!host.complete() || !model_) {
        status = 1;
        return;
    }
    BlockNumbering numbers = numbering();
    register_model(*model_, host, this, numbers);
    var_last = numbers.var_last;
    eqn_last = numbers.eqn_last;
    compiled_ = std::make_unique<CompiledModel>(compile_model(*model_, var_last));
    symbols_ = std::make_unique<BlockSymbols>(*model_);
}

void QUILLON::user_pat(rt_jac_t* jac, std::int64_t& status) {
    status = 0;
    if (!compiled_ || !jac) {
        status = 1;
        return;
    }
    nz_last = declare_pattern(*model_, jac, nz_start);
}

void QUILLON::user_solve_flag() {
    solve_flag_ = true;
}

void QUILLON::user_solve_status(std::int64_t& status) {
    const HostMatrix host = host_matrix();
    if (!host.complete()) {
        status = 1;
        return;
    }
    rtovarlst_vec_value(host.variables);
    ZELEOCntr* container = inq_container(nullptr);
    if (!container) {
        return;
    }
    ZELFrame* frame = container->container_frame();
    if (!frame) {
        return;
    }
    status_text_ =
        solve_verdict(rtocvgsum_get_int_item(frame->get_convergence_summary(), "STATUS"));
}

void QUILLON::user_res(std::int64_t& status) {
    status = 0;
    const HostMatrix host = host_matrix();
    if (!compiled_ || !host.complete() || !write_residuals(*model_, compiled(), host)) {
        status = 1;
    }
}

void QUILLON::user_jac(int, std::int64_t& status) {
    user_jac(status);
}

void QUILLON::user_jac(std::int64_t& status) {
    status = 0;
    const HostMatrix host = host_matrix();
    if (!compiled_ || !host.complete() || !write_jacobian(*model_, compiled(), host, numbering())) {
        status = 1;
    }
}
