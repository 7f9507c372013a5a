#include "python_wording.h"

const StopWording& python_stop_wording() {
    static const StopWording wording{
        "start=", "max_iter=", "tol=", "abs_tol=", "fix=", "model.check(at=result.as_dict())"};
    return wording;
}
