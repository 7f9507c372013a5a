#include "qev_wrapper_holder.h"

void IQEVWrapperHolder::SetWrapper(IQEVWrapper* wrapper) {
    wrapper_ = wrapper;
}
