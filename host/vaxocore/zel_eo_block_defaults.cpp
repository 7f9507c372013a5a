// The defaults of the operations a block overrides: each leaves everything as
// it is and reports success, so that a block need override only what it has.

#include "zel_eo_block_impl.h"

int ZELEOBlockImpl::saveXML(const char* /*path*/) {
    return 0;
}
int ZELEOBlockImpl::loadXML(const char* /*path*/) {
    return 0;
}
int ZELEOBlockImpl::writeXMLToIStorage(void* /*storage*/) {
    return 0;
}
int ZELEOBlockImpl::readXMLFromIStorage(void* /*storage*/) {
    return 0;
}

void ZELEOBlockImpl::set_num_var(int /*count*/) {}
void ZELEOBlockImpl::set_num_eqn(int /*count*/) {}
void ZELEOBlockImpl::set_num_nz(int /*count*/) {}
void ZELEOBlockImpl::notifyPreStructuralEdit() {}
void ZELEOBlockImpl::notifyPostStructuralEdit() {}
void ZELEOBlockImpl::set_num_nz_hess(int /*count*/) {}
void ZELEOBlockImpl::notifyPreStructuralEditHess() {}
void ZELEOBlockImpl::notifyPostStructuralEditHess() {}

void ZELEOBlockImpl::user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) {
    num_var = 0;
    num_eqn = 0;
    num_nz = 0;
    status = 0;
}

void ZELEOBlockImpl::user_dim_hess(int& num_nz, std::int64_t& status) {
    num_nz = 0;
    status = 0;
}

void ZELEOBlockImpl::user_ini(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_ini_hess(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_de_ini(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_de_ini_hess(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_init(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_pat(rt_jac_t* /*jac*/, std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_pat_hess(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_solve_flag() {}
void ZELEOBlockImpl::user_solve_status(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_res(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_res_numpat(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_jac(int /*n*/, std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_jac(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_hess(int /*n*/, std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::user_hess(std::int64_t& status) {
    status = 0;
}

bool ZELEOBlockImpl::port_lookup_attr(const char* /*name*/, value_t& /*out*/) const {
    return false;
}
bool ZELEOBlockImpl::port_assign_attr(const char* /*name*/, const value_t& /*value*/) {
    return false;
}

void ZELEOBlockImpl::pat_numeric(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::pat_numeric_hess(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::pat_restore(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::pat_restore_hess(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::jac_numeric(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::hess_numeric(std::int64_t& status) {
    status = 0;
}
bool ZELEOBlockImpl::allow_schubert() const {
    return false;
}
bool ZELEOBlockImpl::allow_schubert_hess() const {
    return false;
}
void ZELEOBlockImpl::jac_schubert_update(std::int64_t& status) {
    status = 0;
}
void ZELEOBlockImpl::hess_schubert_update(std::int64_t& status) {
    status = 0;
}
