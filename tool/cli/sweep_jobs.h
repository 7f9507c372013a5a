#pragma once

#include <functional>
#include <vector>

#include "output_choice.h"
#include "prepared_system.h"
#include "sweep_continuation.h"
#include "sweep_row.h"

// The rows of a plain sweep over `range`, in order of its values, each also
// handed to `each` as soon as it is known. With `jobs` above 1 the first
// value is solved here and the others are shared out in that many runs of
// consecutive values, each solved by run_continuation in a process of its
// own (forked with the model loaded), going on from the first value's
// solution. So the rows are those of one job but for what the warm starts
// change: the iterations and solves of each run's first value (reached from
// the first value's solution, not its neighbour's), the last bits of a
// solution, and, where the way from the first value to a run's first value
// passes a turning point, which solution that run finds. With jobs, the
// rows after the first are handed on once all are known.
std::vector<SweepRow> sweep_rows(PreparedSystem& prepared, const std::vector<int>& varied,
                                 const SweepRange& range, const OutputChoice& outputs, int jobs,
                                 const std::function<void(const SweepRow&)>& each);
