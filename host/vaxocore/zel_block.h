#pragma once

#include "zel_interfaces.h"

// A block of the flowsheet, as the host's generic parts see it.
class VAXO_API ZELBlock : public IZELAttribute,
                          public IZELMethod,
                          public IZELPort,
                          public IZELSolving {
  public:
    // Ends the block: the only way the host, or the block's maker, frees it.
    virtual void destroy() = 0;
    // The instance name the block was made with.
    virtual const char* name() const = 0;
    // True when the block is of type `type_name` or derives from it.
    virtual bool isof_type(const char* type_name) const = 0;

  protected:
    ~ZELBlock() = default;
};

// A block that takes part in the equation-oriented solve.
class VAXO_API ZELEOBlock : public ZELBlock,
                            public IZELContainers,
                            public IZELMatrixCitizen,
                            public IZELResidual,
                            public IZELPattern,
                            public IZELJacobian,
                            public QEVWrapperCntr,
                            public IZELGlobalStructure,
                            public IZELPersist,
                            public IZELHessian,
                            public IZELHessianCitizen,
                            public IZELHessianPattern {
  protected:
    ~ZELEOBlock() = default;
};
