#pragma once

#include "solve_report.h"

// The options as the module spells them, where a stop says what to do:
// Model.solve's and Model.sweep's messages name `max_iter=`, not `--max-iter`.
const StopWording& python_stop_wording();
