#pragma once

#include <functional>
#include <vector>

#include "output_choice.h"
#include "prepared_system.h"
#include "sweep_continuation.h"
#include "sweep_row.h"

// The rows of a plain sweep over `range`, in order of its values, each also
// handed to `each` as soon as it is known. With `jobs` above 1 the values
// are shared out in that many runs of consecutive values, each solved in a
// process of its own (forked with the model loaded) by run_continuation: a
// run's first value from the model's starting point, every later one from
// the value before it. So the rows are those of one job but for what a warm
// start changes: the iterations and solves of each run's first value, and
// the last bits of a solution (or, on a model with several solutions, which
// one a run's first solve finds). With jobs, rows are handed on once all are
// known.
std::vector<SweepRow> sweep_rows(PreparedSystem& prepared, const std::vector<int>& varied,
                                 const SweepRange& range, const OutputChoice& outputs, int jobs,
                                 const std::function<void(const SweepRow&)>& each);
