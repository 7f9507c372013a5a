#pragma once

#include <cstdint>
#include <string>

#include "qev_wrapper_holder.h"
#include "rt_utils.h"
#include "zel_block.h"

// The host's base of every equation-oriented block. It answers the host's
// interfaces and hands the work to the protected user_* operations, which a
// block overrides; each default does nothing and reports success, so a block
// overrides only what it has. The order of the virtual operations below is
// the host's slot order and must not change.
class VAXO_API ZELEOBlockImpl : public virtual ZELEOBlock {
  public:
    explicit ZELEOBlockImpl(const char* name);
    ZELEOBlockImpl(const ZELEOBlockImpl&) = delete;
    ZELEOBlockImpl& operator=(const ZELEOBlockImpl&) = delete;
    virtual ~ZELEOBlockImpl();

  protected:
    // Defaults: every operation with a status sets it to 0 and does nothing
    // else; the others do nothing and answer 0, false or nothing.
    // Saving and loading as XML: nothing kept, answer 0.
    virtual int saveXML(const char* path);
    virtual int loadXML(const char* path);
    virtual int writeXMLToIStorage(void* storage);
    virtual int readXMLFromIStorage(void* storage);
    // Notices of structural edits: ignored.
    virtual void set_num_var(int count);
    virtual void set_num_eqn(int count);
    virtual void set_num_nz(int count);
    virtual void notifyPreStructuralEdit();
    virtual void notifyPostStructuralEdit();
    virtual void set_num_nz_hess(int count);
    virtual void notifyPreStructuralEditHess();
    virtual void notifyPostStructuralEditHess();
    // Dimensions: the default block has no variables, equations or nonzeros
    // (all counts 0).
    virtual void user_dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status);
    virtual void user_dim_hess(int& num_nz, std::int64_t& status);
    // Registration and its undoing: nothing to register.
    virtual void user_ini(std::int64_t& status);
    virtual void user_ini_hess(std::int64_t& status);
    virtual void user_de_ini(std::int64_t& status);
    virtual void user_de_ini_hess(std::int64_t& status);
    virtual void user_init(std::int64_t& status);
    // Pattern: declares no nonzero.
    virtual void user_pat(rt_jac_t* jac, std::int64_t& status);
    virtual void user_pat_hess(std::int64_t& status);
    // After a solve (post_solve): first the flag, then the status.
    virtual void user_solve_flag();
    virtual void user_solve_status(std::int64_t& status);
    // Residuals and Jacobian values: writes none.
    virtual void user_res(std::int64_t& status);
    virtual void user_res_numpat(std::int64_t& status);
    virtual void user_jac(int n, std::int64_t& status);
    virtual void user_jac(std::int64_t& status);
    virtual void user_hess(int n, std::int64_t& status);
    virtual void user_hess(std::int64_t& status);
    // Port attributes: none (false, `out` untouched, nothing assigned).
    virtual bool port_lookup_attr(const char* name, value_t& out) const;
    virtual bool port_assign_attr(const char* name, const value_t& value);
    // Numeric patterns and derivatives: not offered, nothing done.
    virtual void pat_numeric(std::int64_t& status);
    virtual void pat_numeric_hess(std::int64_t& status);
    virtual void pat_restore(std::int64_t& status);
    virtual void pat_restore_hess(std::int64_t& status);
    virtual void jac_numeric(std::int64_t& status);
    virtual void hess_numeric(std::int64_t& status);
    // Secant (Schubert) updates: not allowed (false), nothing done.
    virtual bool allow_schubert() const;
    virtual bool allow_schubert_hess() const;
    virtual void jac_schubert_update(std::int64_t& status);
    virtual void hess_schubert_update(std::int64_t& status);

  public:
    // ZELBlock: destroy() deletes the block; name() is the name it was made
    // with (empty when made with null).
    void destroy() override;
    const char* name() const override;
    // True for "ZELEOBlock", the type every block of this base has.
    bool isof_type(const char* type_name) const override;
    // IZELAttribute: the base has no attributes (false; null for every index).
    bool attr_lookup(const char* name, value_t& out) const override;
    const char* attr_describe(int index) const override;
    // IZELMethod: no methods (count 0; invoking answers 1).
    int method_count() const override;
    int method_invoke(const char* name) override;
    // IZELPort: no ports.
    int port_count() const override;
    // IZELSolving: pre_solve does nothing; post_solve runs user_solve_flag,
    // then user_solve_status with the caller's status.
    void pre_solve() override;
    void post_solve(std::int64_t& status) override;
    // IZELContainers: the attached container, when `within` is null or that
    // container; null otherwise or when the block is in none.
    ZELEOCntr* inq_container(const ZELEOCntr* within) const override;
    void attach_container(ZELEOCntr* container) override;
    // IZELMatrixCitizen: dim runs user_dim and remembers the counts for
    // num_var(), num_eqn(), num_nz(); ini sets var_start, eqn_start, nz_start
    // (answered by vstart(), estart(), nzstart()), then runs user_ini.
    void dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) override;
    void ini(int var_start, int eqn_start, int nz_start, std::int64_t& status) override;
    int vstart() const override;
    int estart() const override;
    int nzstart() const override;
    int num_var() const override;
    int num_eqn() const override;
    int num_nz() const override;
    // IZELResidual, IZELPattern, IZELJacobian: run user_res, user_pat, user_jac.
    void res(std::int64_t& status) override;
    void pat(rt_jac_t* jac, std::int64_t& status) override;
    void jac(std::int64_t& status) override;
    // QEVWrapperCntr: the wrapper the base keeps, and a new one to keep.
    IQEVWrapper* wrapper() const override;
    void new_wrapper(IQEVWrapper* wrapper) override;
    // IZELGlobalStructure: the base never changes shape (0).
    int structure_revision() const override;
    // IZELPersist: the base writes "ZELEOBlock" (answers 1 and writes nothing
    // when the buffer is null or shorter than 11 bytes); saving and loading do
    // nothing and answer 0.
    int persist_type(char* buffer, std::size_t size) const override;
    int persist_save() override;
    int persist_load() override;
    // Hessian interfaces: no second derivatives (status 0, count 0).
    void hess(std::int64_t& status) override;
    int num_nz_hess() const override;
    void pat_hess(std::int64_t& status) override;

  protected:
    // The variable list, equation list and Jacobian of the block's container;
    // each null while the block is in no container or the container has not
    // built its equation system.
    void inq_matrix(rtvarlst_t*& variables, rtattrdict_t*& equations, rt_jac_t*& jacobian) const;

    // The host's numbers of the block's first and last variable, equation and
    // Jacobian nonzero. The host sets the starts; the block writes the lasts.
    std::int32_t var_start = 0;
    std::int32_t var_last = 0;
    std::int32_t eqn_start = 0;
    std::int32_t eqn_last = 0;
    std::int32_t nz_start = 0;
    std::int32_t nz_last = 0;

  private:
    std::string name_;
    ZELEOCntr* container_ = nullptr;
    IQEVWrapperHolder wrapper_holder_;
    int num_var_ = 0;
    int num_eqn_ = 0;
    int num_nz_ = 0;
};
