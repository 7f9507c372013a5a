#pragma once

#include <ostream>

#include "command_options.h"

// `quillon info`: the plug-in's identity, the model's counts and the Jacobian
// pattern the block declared. Answers the exit code.
int run_info(const ModelOptions& options, std::ostream& out);
