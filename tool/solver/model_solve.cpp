#include "model_solve.h"

#include "host_system.h"

namespace {

std::string reference_fault(const UnknownReference& reference, const ModelFileScan& scan) {
    const std::string& equation =
        scan.equation_names[static_cast<std::size_t>(reference.equation - 1)];
    if (reference.entry) {
        return "equation " + equation + " lists an entry for '" + reference.symbol +
               "', which is no model variable; its nonzero would take no part in the solve";
    }
    return "equation " + equation + " refers to '" + reference.symbol +
           "', which is no model variable; the reference would be worth 0";
}

std::vector<std::string> bounds_of_variables(const ModelSession& session,
                                             const SystemChoice& choice,
                                             const SolveOutcome& outcome) {
    std::vector<std::string> bounds(static_cast<std::size_t>(session.variable_count()) + 1);
    for (const BoundContact& contact : outcome.at_bounds) {
        bounds[static_cast<std::size_t>(
            choice.unknowns[static_cast<std::size_t>(contact.column)])] =
            contact.upper ? "upper" : "lower";
    }
    return bounds;
}

}  // namespace

std::vector<std::string> model_faults(const ModelSession& session, const ModelFileScan& scan) {
    std::vector<std::string> faults;
    for (const std::string& refusal : session.refusals()) {
        faults.push_back("the host refused a registration: " + refusal);
    }
    for (const UnknownReference& reference : scan.unknown_references) {
        faults.push_back(reference_fault(reference, scan));
    }
    return faults;
}

std::vector<double> unknown_values(const ModelSession& session, const SystemChoice& choice) {
    std::vector<double> values;
    values.reserve(choice.unknowns.size());
    for (const int number : choice.unknowns) {
        values.push_back(session.value(number));
    }
    return values;
}

ModelSolution solve_model(LoadedModel& loaded, const SystemChoice& choice,
                          const SolverSettings& settings, const std::vector<double>& start,
                          const std::function<void(const IterationRecord&)>& observer,
                          const StopWording& wording) {
    ModelSession& session = loaded.session;
    for (std::size_t column = 0; column < choice.unknowns.size(); ++column) {
        session.value(choice.unknowns[column]) = start[column];
    }
    ModelSolution solution;
    solution.outcome = solve_host(session, choice.unknowns, choice.equations, settings, observer);
    solution.verdict = session.report_solve(solution.converged());
    solution.stop_message = describe_stop(solution.outcome, loaded, choice, wording);
    solution.bound_of_variable = bounds_of_variables(session, choice, solution.outcome);
    return solution;
}
