#pragma once

// The interfaces through which the host drives a block. A block is a
// ZELEOBlock (zel_block.h), which derives from all of them; the host's own
// base ZELEOBlockImpl (zel_eo_block_impl.h) implements them. Interfaces are
// never deleted through their own pointers: blocks end through destroy().

#include <cstddef>
#include <cstdint>

#include "value_t.h"
#include "vaxo_export.h"

class ZELEOCntr;
struct rt_jac_t;

// Named attributes a block shows the host and its user.
class VAXO_API IZELAttribute {
  public:
    // Fills `out` with the attribute `name`; false when the block has none.
    virtual bool attr_lookup(const char* name, value_t& out) const = 0;
    // Name of the attribute at `index` (from 0), or null past the last.
    virtual const char* attr_describe(int index) const = 0;

  protected:
    ~IZELAttribute() = default;
};

// Commands a user can run on a block by name.
class VAXO_API IZELMethod {
  public:
    virtual int method_count() const = 0;
    // Runs method `name`; answers 0 on success, 1 when there is no such method.
    virtual int method_invoke(const char* name) = 0;

  protected:
    ~IZELMethod() = default;
};

// Material and energy ports that connect blocks in a flowsheet.
class VAXO_API IZELPort {
  public:
    virtual int port_count() const = 0;

  protected:
    ~IZELPort() = default;
};

// Hooks around a solve of the container.
class VAXO_API IZELSolving {
  public:
    virtual void pre_solve() = 0;
    // Tells the block the solve has ended; the verdict is in the frame's
    // convergence summary.
    virtual void post_solve(std::int64_t& status) = 0;

  protected:
    ~IZELSolving() = default;
};

// Where the block stands in the flowsheet.
class VAXO_API IZELContainers {
  public:
    // The container that holds the block. `within` is for hosts that nest
    // containers and is null for the block's own; a pointer rather than a
    // reference, so that "none" is a value the language allows.
    virtual ZELEOCntr* inq_container(const ZELEOCntr* within) const = 0;
    // Called by a container when it takes the block in (or null when it lets go).
    virtual void attach_container(ZELEOCntr* container) = 0;

  protected:
    ~IZELContainers() = default;
};

// The block's place in the equation system: its dimensions and numbering.
class VAXO_API IZELMatrixCitizen {
  public:
    virtual void dim(int& num_var, int& num_eqn, int& num_nz, std::int64_t& status) = 0;
    // Gives the block its start numbers and has it register its variables and
    // equations with the container's lists.
    virtual void ini(int var_start, int eqn_start, int nz_start, std::int64_t& status) = 0;
    virtual int vstart() const = 0;
    virtual int estart() const = 0;
    virtual int nzstart() const = 0;
    virtual int num_var() const = 0;
    virtual int num_eqn() const = 0;
    virtual int num_nz() const = 0;

  protected:
    ~IZELMatrixCitizen() = default;
};

class VAXO_API IZELResidual {
  public:
    virtual void res(std::int64_t& status) = 0;

  protected:
    ~IZELResidual() = default;
};

class VAXO_API IZELPattern {
  public:
    virtual void pat(rt_jac_t* jac, std::int64_t& status) = 0;

  protected:
    ~IZELPattern() = default;
};

class VAXO_API IZELJacobian {
  public:
    virtual void jac(std::int64_t& status) = 0;

  protected:
    ~IZELJacobian() = default;
};

// An evaluation wrapper a host may put around a block; this host has none of
// its own and only keeps what it is given.
class VAXO_API IQEVWrapper {
  protected:
    ~IQEVWrapper() = default;
};

class VAXO_API QEVWrapperCntr {
  public:
    virtual IQEVWrapper* wrapper() const = 0;
    virtual void new_wrapper(IQEVWrapper* wrapper) = 0;

  protected:
    ~QEVWrapperCntr() = default;
};

class VAXO_API IZELGlobalStructure {
  public:
    // Counts structural edits of the block; 0 while it never changed shape.
    virtual int structure_revision() const = 0;

  protected:
    ~IZELGlobalStructure() = default;
};

// Saving and restoring a block with the flowsheet.
class VAXO_API IZELPersist {
  public:
    // Writes the block's type name, NUL-terminated, into `buffer` of `size`
    // bytes; answers 0, or 1 when it does not fit (nothing written then).
    virtual int persist_type(char* buffer, std::size_t size) const = 0;
    virtual int persist_save() = 0;
    virtual int persist_load() = 0;

  protected:
    ~IZELPersist() = default;
};

// Second derivatives. This host's solver uses none; blocks report none.
class VAXO_API IZELHessian {
  public:
    virtual void hess(std::int64_t& status) = 0;

  protected:
    ~IZELHessian() = default;
};

class VAXO_API IZELHessianCitizen {
  public:
    virtual int num_nz_hess() const = 0;

  protected:
    ~IZELHessianCitizen() = default;
};

class VAXO_API IZELHessianPattern {
  public:
    virtual void pat_hess(std::int64_t& status) = 0;

  protected:
    ~IZELHessianPattern() = default;
};
