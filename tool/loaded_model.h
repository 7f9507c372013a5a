#pragma once

#include "command_options.h"
#include "model_session.h"
#include "numbered_model.h"

// A model as the commands start from it: loaded through the plug-in into the
// host, numbered by the file's own order for display, with the --at
// assignments applied to the host's values.
struct LoadedModel {
    explicit LoadedModel(const ModelOptions& options);

    ModelSession session;
    NumberedModel names;
};

// The symbol of the variable of nonzero `nonzero_number`; for a nonzero that
// names no model variable, the entry's own symbol marked as such.
std::string nonzero_symbol(const LoadedModel& loaded, int nonzero_number);
