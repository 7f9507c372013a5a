// How the block base answers the host's interfaces; the work itself is in the
// user_* operations (zel_eo_block_defaults.cpp and the blocks' overrides).

#include "zel_eo_block_impl.h"

#include <cstring>

#include "zel_container.h"

namespace {

constexpr char block_type[] = "ZELEOBlock";

}  // namespace

ZELEOBlockImpl::ZELEOBlockImpl(const char* name) : name_(name == nullptr ? "" : name) {}

ZELEOBlockImpl::~ZELEOBlockImpl() = default;

void ZELEOBlockImpl::destroy() {
    delete this;
}

const char* ZELEOBlockImpl::name() const {
    return name_.c_str();
}

bool ZELEOBlockImpl::isof_type(const char* type_name) const {
    return type_name != nullptr && std::strcmp(type_name, block_type) == 0;
}

bool ZELEOBlockImpl::attr_lookup(const char* /*name*/, value_t& /*out*/) const {
    return false;
}
const char* ZELEOBlockImpl::attr_describe(int /*index*/) const {
    return nullptr;
}
int ZELEOBlockImpl::method_count() const {
    return 0;
}
int ZELEOBlockImpl::method_invoke(const char* /*name*/) {
    return 1;
}
int ZELEOBlockImpl::port_count() const {
    return 0;
}

void ZELEOBlockImpl::pre_solve() {}

void ZELEOBlockImpl::post_solve(std::int64_t& status) {
    user_solve_flag();
    user_solve_status(status);
}

ZELEOCntr* ZELEOBlockImpl::inq_container(const ZELEOCntr* within) const {
    return within == nullptr || within == container_ ? container_ : nullptr;
}

void ZELEOBlockImpl::attach_container(ZELEOCntr* container) {
    container_ = container;
}

void ZELEOBlockImpl::dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) {
    user_dim(num_var, num_eqn, num_nz, status);
    num_var_ = num_var;
    num_eqn_ = num_eqn;
    num_nz_ = num_nz;
}

void ZELEOBlockImpl::ini(int first_var, int first_eqn, int first_nz, std::int64_t& status) {
    var_start = first_var;
    eqn_start = first_eqn;
    nz_start = first_nz;
    user_ini(status);
}

int ZELEOBlockImpl::vstart() const {
    return var_start;
}
int ZELEOBlockImpl::estart() const {
    return eqn_start;
}
int ZELEOBlockImpl::nzstart() const {
    return nz_start;
}
int ZELEOBlockImpl::num_var() const {
    return num_var_;
}
int ZELEOBlockImpl::num_eqn() const {
    return num_eqn_;
}
int ZELEOBlockImpl::num_nz() const {
    return num_nz_;
}

void ZELEOBlockImpl::res(std::int64_t& status) {
    user_res(status);
}
void ZELEOBlockImpl::pat(rt_jac_t* jac, std::int64_t& status) {
    user_pat(jac, status);
}
void ZELEOBlockImpl::jac(std::int64_t& status) {
    user_jac(status);
}

IQEVWrapper* ZELEOBlockImpl::wrapper() const {
    return wrapper_holder_.GetWrapper();
}
void ZELEOBlockImpl::new_wrapper(IQEVWrapper* wrapper) {
    wrapper_holder_.SetWrapper(wrapper);
}

int ZELEOBlockImpl::structure_revision() const {
    return 0;
}

int ZELEOBlockImpl::persist_type(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size < sizeof block_type) {
        return 1;
    }
    std::memcpy(buffer, block_type, sizeof block_type);
    return 0;
}

int ZELEOBlockImpl::persist_save() {
    return 0;
}
int ZELEOBlockImpl::persist_load() {
    return 0;
}

void ZELEOBlockImpl::hess(std::int64_t& status) {
    status = 0;
}
int ZELEOBlockImpl::num_nz_hess() const {
    return 0;
}
void ZELEOBlockImpl::pat_hess(std::int64_t& status) {
    status = 0;
}

void ZELEOBlockImpl::inq_matrix(rtvarlst_t*& variables, rtattrdict_t*& equations,
                                rt_jac_t*& jacobian) const {
    variables = container_ == nullptr ? nullptr : container_->variables();
    equations = container_ == nullptr ? nullptr : container_->equations();
    jacobian = container_ == nullptr ? nullptr : container_->jacobian();
}
