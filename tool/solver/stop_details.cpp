#include "stop_details.h"

#include "json_output.h"
#include "solve_names.h"

namespace {

using ordered_json = nlohmann::ordered_json;

ordered_json diagnosis_member(const StopDiagnosis& found, const LoadedModel& loaded,
                              const SystemChoice& choice) {
    if (found.cause == StopCause::none || found.cause == StopCause::fault) {
        return nullptr;
    }
    return {{"growing", unknown_symbols(loaded, choice, found.growing_columns)},
            {"loop_equations", equation_names(loaded, choice, found.loop_rows)},
            {"held", unknown_symbols(loaded, choice, found.held_columns)},
            {"dependent_equations", equation_names(loaded, choice, found.dependent_rows)},
            {"undetermined", unknown_symbols(loaded, choice, found.null_columns)},
            {"contradicting", found.contradicting},
            {"at_best_point", found.at_best_point}};
}

ordered_json continuum_member(const SolveOutcome& outcome, const LoadedModel& loaded,
                              const SystemChoice& choice) {
    if (outcome.stop != SolveStop::not_unique) {
        return nullptr;
    }
    const Continuum& continuum = outcome.continuum;
    ordered_json other = ordered_json::object();
    for (std::size_t column = 0; column < continuum.other_solution.size(); ++column) {
        other[unknown_symbol(loaded, choice, static_cast<int>(column))] =
            json_number(continuum.other_solution[column]);
    }
    return {{"moving", unknown_symbols(loaded, choice, continuum.moving_columns)},
            {"dependent_equations", equation_names(loaded, choice, continuum.dependent_rows)},
            {"other_solution", std::move(other)}};
}

}  // namespace

ordered_json stop_details(const ModelSolution& solution, const LoadedModel& loaded,
                          const SystemChoice& choice) {
    const SolveOutcome& outcome = solution.outcome;
    const std::string cause = cause_code(outcome.diagnosis.cause);
    const SolveCounts& counts = outcome.counts;
    return {{"cause", cause.empty() ? ordered_json(nullptr) : ordered_json(cause)},
            {"diagnosis", diagnosis_member(outcome.diagnosis, loaded, choice)},
            {"continuum", continuum_member(outcome, loaded, choice)},
            {"polished", outcome.polished},
            {"fallback_iteration", outcome.fallback_iteration < 0
                                       ? ordered_json(nullptr)
                                       : ordered_json(outcome.fallback_iteration)},
            {"counts",
             {{"residual_evaluations", counts.residual_evaluations},
              {"jacobian_evaluations", counts.jacobian_evaluations},
              {"rejected_trials", counts.rejected_trials},
              {"faulted_trials", counts.faulted_trials}}}};
}
