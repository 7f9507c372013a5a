#pragma once

#include <ostream>

#include "command_options.h"

// `quillon check`: the model doctor. Writes its findings on `out` and, when
// asked, the Jacobian's pattern as SVG. Answers 1 when it found errors, else 0.
int run_check(const CheckOptions& options, std::ostream& out);
