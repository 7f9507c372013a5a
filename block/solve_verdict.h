#pragma once

#include "zel_frame.h"

// The block's verdict on a solve from the convergence summary's "STATUS":
// "Converged" for RT_CONVERGED, "Not converged" for every other value.
const char* solve_verdict(int status_item);
