#include "sweep_row.h"

#include "solve_stop.h"

SweepRow row_of(const SweepPoint& point, const OutputChoice& outputs, const ModelSession& session) {
    SweepRow row{point.value,
                 point.result.converged(),
                 {},
                 point.result.verdict,
                 stop_code(point.result.outcome.stop),
                 point.result.stop_message,
                 point.iterations,
                 point.solves};
    for (const int number : outputs.numbers) {
        row.outputs.push_back(session.value(number));
    }
    return row;
}
