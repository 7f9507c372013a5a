#include "sweep_row.h"

#include "model_outputs.h"
#include "solve_stop.h"
#include "stop_diagnosis.h"

std::vector<double> chosen_values(const OutputChoice& outputs, const LoadedModel& loaded) {
    const std::vector<double> model_outputs =
        outputs.any_model_output() ? output_values(loaded) : std::vector<double>();
    std::vector<double> values;
    for (std::size_t column = 0; column < outputs.numbers.size(); ++column) {
        const int number = outputs.numbers[column];
        values.push_back(number > 0 ? loaded.session.value(number)
                                    : model_outputs[outputs.model_outputs[column]]);
    }
    return values;
}

SweepRow row_of(const SweepPoint& point, const OutputChoice& outputs, const LoadedModel& loaded) {
    return {point.value,
            point.result.converged(),
            chosen_values(outputs, loaded),
            point.result.verdict,
            stop_code(point.result.outcome.stop),
            cause_code(point.result.outcome.diagnosis.cause),
            point.result.stop_message,
            point.iterations,
            point.solves,
            std::nullopt};
}
