#pragma once

#include "vaxo_export.h"

class IQEVWrapper;

// Keeps the evaluation wrapper a host put around a block. It does not own the
// wrapper: whoever made it ends it.
class VAXO_API IQEVWrapperHolder {
  public:
    IQEVWrapper* GetWrapper() const { return wrapper_; }
    void SetWrapper(IQEVWrapper* wrapper);

  private:
    IQEVWrapper* wrapper_ = nullptr;
};
