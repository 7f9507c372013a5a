#include "model_solve.h"

#include "host_system.h"
#include "solve_report.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

std::vector<int> unknown_numbers(const ModelSession& session, const std::set<int>& fixed) {
    std::vector<int> unknowns;
    for (int number = 1; number <= session.variable_count(); ++number) {
        if (fixed.count(number) == 0) {
            unknowns.push_back(number);
        }
    }
    return unknowns;
}

void require_square(const ModelSession& session, const std::set<int>& fixed,
                    const std::string& fix_usage) {
    const int unknowns = session.variable_count() - static_cast<int>(fixed.size());
    if (session.equation_count() != unknowns) {
        throw UsageError(
            "the system is not square: " + counted(session.equation_count(), "equation") + ", " +
            counted(session.variable_count(), "variable") + ", " + std::to_string(fixed.size()) +
            " fixed, so " + counted(unknowns, "unknown") + "; fix " +
            (unknowns > session.equation_count() ? "more" : "fewer") + " variables with " +
            fix_usage);
    }
}

// Nonzeros without a variable take no part in the solve; the author should know.
std::vector<std::string> incomplete_warnings(const LoadedModel& loaded) {
    std::vector<std::string> warnings;
    for (const int number : loaded.session.incomplete_nonzeros()) {
        const rt_nz_t& nonzero = loaded.session.nonzero(number);
        warnings.push_back("nonzero " + std::to_string(number) + " of equation " +
                           loaded.session.equation(nonzero.equation).name +
                           " names no model variable ('" + loaded.session.entry_symbol(number) +
                           "'); it takes no part in the solve");
    }
    return warnings;
}

}  // namespace

SolvePlan plan_solve(LoadedModel& loaded, const std::vector<Assignment>& fix,
                     const FixWording& wording) {
    SolvePlan plan;
    for (const int number : apply_assignments(fix, loaded.symbols, loaded.session, wording.name)) {
        plan.fixed.insert(number);
    }
    require_square(loaded.session, plan.fixed, wording.usage);
    plan.unknowns = unknown_numbers(loaded.session, plan.fixed);
    plan.warnings = incomplete_warnings(loaded);
    return plan;
}

ModelSolution solve_model(LoadedModel& loaded, const SolvePlan& plan,
                          const SolverSettings& settings,
                          const std::function<void(const IterationRecord&)>& observer) {
    ModelSolution solution;
    solution.outcome = solve_host(loaded.session, plan.unknowns, settings, observer);
    solution.verdict = loaded.session.report_solve(solution.outcome.stop == SolveStop::converged);
    solution.stop_message = describe_stop(solution.outcome, loaded, plan.unknowns);
    solution.bound_of_variable.assign(static_cast<std::size_t>(loaded.session.variable_count()) + 1,
                                      "");
    for (const BoundContact& contact : solution.outcome.at_bounds) {
        solution.bound_of_variable[static_cast<std::size_t>(
            plan.unknowns[static_cast<std::size_t>(contact.column)])] =
            contact.upper ? "upper" : "lower";
    }
    return solution;
}
