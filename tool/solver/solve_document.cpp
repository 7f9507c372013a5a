#include "solve_document.h"

#include <memory>

#include "solve_report.h"
#include "solve_stop.h"
#include "stop_details.h"

namespace {

// The members of the document, each made from the solve it describes.
class SolveMembers {
  public:
    SolveMembers(const LoadedModel& loaded, const SystemChoice& choice, const ModelSolution& result)
        : loaded_(loaded), choice_(choice), result_(result) {}

    nlohmann::ordered_json bound(int number) const {
        const std::string& bound = result_.bound_of_variable[static_cast<std::size_t>(number)];
        return bound.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(bound);
    }

    nlohmann::ordered_json equation(int row) const {
        return row < 0 ? nlohmann::ordered_json(nullptr)
                       : nlohmann::ordered_json(equation_of_row(loaded_, choice_, row));
    }

    nlohmann::ordered_json residual(const ResidualMeasure& measure) const {
        return {{"value", json_number(measure.value)}, {"equation", equation(measure.row)}};
    }

    nlohmann::ordered_json history_entry(const IterationRecord& record) const {
        return json_record(
            {{"iteration", record.iteration},
             {"residual_norm", json_number(record.residual_norm)},
             {"step_norm", json_number(record.step_norm)},
             {"worst_equation", equation_of_row(loaded_, choice_, record.worst_row)},
             {"at_bounds", record.at_bounds},
             {"scaled_residual_norm", json_number(record.scaled_residual_norm)},
             {"worst_scaled_equation", equation_of_row(loaded_, choice_, record.worst_scaled_row)},
             {"step_kind", step_code(record.step_kind)},
             {"trust_radius", json_number(record.trust_radius)}});
    }

    nlohmann::ordered_json at_bound_entry(const BoundContact& contact) const {
        const int number = choice_.unknowns[static_cast<std::size_t>(contact.column)];
        return json_record({{"symbol", loaded_.symbols.symbol(number)}, {"bound", bound(number)}});
    }

    nlohmann::ordered_json variable_entry(int number) const {
        const ModelSession& session = loaded_.session;
        return json_record({{"symbol", loaded_.symbols.symbol(number)},
                            {"name", session.variable(number).name},
                            {"value", json_number(session.value(number))},
                            {"fixed", choice_.fixed.count(number) > 0},
                            {"parameter", loaded_.extras().specification_of(number) > 0},
                            {"bound", bound(number)},
                            {"description", loaded_.description(number)}});
    }

    nlohmann::ordered_json equation_entry(int number) const {
        const ModelSession& session = loaded_.session;
        return json_record({{"name", loaded_.equation_name(number)},
                            {"residual", json_number(session.residual(number))},
                            {"freed", choice_.freed.count(number) > 0},
                            {"host_name", session.equation(number).name}});
    }

    nlohmann::ordered_json timing() const {
        const SolveTiming& timing = result_.outcome.timing;
        return {{"evaluation_seconds", timing.evaluation},
                {"lu_seconds", timing.lu},
                {"other_seconds", timing.total - timing.evaluation - timing.lu},
                {"total_seconds", timing.total},
                {"last_iteration_seconds", timing.last_iteration}};
    }

  private:
    const LoadedModel& loaded_;
    const SystemChoice& choice_;
    const ModelSolution& result_;
};

}  // namespace

std::vector<JsonMember> solve_document(const LoadedModel& loaded, const SystemChoice& choice,
                                       const ModelSolution& result,
                                       const std::vector<int>& variables) {
    // Held by the lists' makers, which run as the document is written.
    const auto members = std::make_shared<const SolveMembers>(loaded, choice, result);
    const SolveOutcome& outcome = result.outcome;
    const IterationRecord& last = outcome.history.back();
    std::vector<JsonMember> document{{"status", result.verdict},
                                     {"iterations", last.iteration},
                                     {"residual_norm", json_number(last.residual_norm)},
                                     {"stop_reason", stop_code(outcome.stop)},
                                     {"message", result.stop_message}};
    const nlohmann::ordered_json details = stop_details(result, loaded, choice);
    for (const auto& [key, value] : details.items()) {
        document.emplace_back(key, value);
    }
    document.insert(
        document.end(),
        {{"scaled_residual_norm", json_number(outcome.largest_scaled.value)},
         {"largest_residual", members->residual(outcome.largest_absolute)},
         {"largest_scaled_residual", members->residual(outcome.largest_scaled)},
         {"at_bounds", elements_of(outcome.at_bounds,
                                   [members](const BoundContact& contact) {
                                       return members->at_bound_entry(contact);
                                   })},
         {"timing", members->timing()},
         {"variables",
          elements_of(variables,
                      [members](int number) { return members->variable_entry(number); })},
         {"equations",
          numbered_elements(loaded.session.equation_count(),
                            [members](int number) { return members->equation_entry(number); })},
         {"history", elements_of(outcome.history, [members](const IterationRecord& record) {
              return members->history_entry(record);
          })}});
    return document;
}
