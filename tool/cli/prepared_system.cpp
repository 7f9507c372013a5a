#include "prepared_system.h"

#include "host_system.h"
#include "model_file_scan.h"
#include "solve_report.h"
#include "text_table.h"
#include "usage_error.h"

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

// Stops before iterating when the model has faults, unless forced.
void screen_model(const ModelSession& session, const ModelFileScan& scan, bool force,
                  std::ostream& err) {
    const std::vector<std::string> faults = model_faults(session, scan);
    for (const std::string& fault : faults) {
        err << "quillon: " << (force ? "warning: " : "error: ") << fault << '\n';
    }
    if (!faults.empty() && !force) {
        throw UsageError("not solving a model with " +
                         counted(static_cast<long long>(faults.size()), "fault") +
                         "; --force solves it anyway");
    }
}

void warn_unknown_start_symbols(const LoadedModel& loaded, const std::string& start_path,
                                std::ostream& err) {
    const bool one = loaded.unknown_start_symbols.size() == 1;
    if (!loaded.unknown_start_symbols.empty()) {
        err << "quillon: warning: --start " << start_path << ": no model variable has "
            << (one ? "the symbol " : "the symbols ") << listed_names(loaded.unknown_start_symbols)
            << (one ? "; its value is not used\n" : "; their values are not used\n");
    }
}

SystemChoice choice_for(LoadedModel& loaded, const SystemOptions& options,
                        const CommandContext& context, const std::vector<Assignment>& varied,
                        std::ostream& err) {
    // The file loaded: equation text and standard input are read once, into it.
    const ModelFileScan scan = scan_model_file(context.models.path_of(options.model.model_path));
    // The command line's own faults first, then the model's, then the counts.
    SystemChoice choice =
        choose_system(loaded, scan, parse_assignments(options.fix), varied, options.free);
    screen_model(loaded.session, scan, options.force, err);
    warn_unknown_start_symbols(loaded, options.model.start_path, err);
    require_square(loaded, scan, choice);
    return choice;
}

SolverSettings solver_settings(const SystemOptions& options) {
    SolverSettings settings;
    settings.tolerance = options.tolerance;
    settings.absolute_tolerance = options.absolute_tolerance;
    settings.max_iterations = options.max_iterations;
    return settings;
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

PreparedSystem::PreparedSystem(const SystemOptions& options, const CommandContext& context,
                               const std::vector<Assignment>& varied, std::ostream& err)
    : loaded(load_model(options.model, context)),
      choice(choice_for(loaded, options, context, varied, err)),
      settings(solver_settings(options)) {}

std::vector<double> unknown_values(const ModelSession& session, const SystemChoice& choice) {
    std::vector<double> values;
    values.reserve(choice.unknowns.size());
    for (const int number : choice.unknowns) {
        values.push_back(session.value(number));
    }
    return values;
}

SolveResult solve_prepared(PreparedSystem& prepared, const std::vector<double>& start,
                           const std::function<void(const IterationRecord&)>& observer) {
    ModelSession& session = prepared.loaded.session;
    const SystemChoice& choice = prepared.choice;
    for (std::size_t column = 0; column < choice.unknowns.size(); ++column) {
        session.value(choice.unknowns[column]) = start[column];
    }
    SolveResult result;
    result.outcome =
        solve_host(session, choice.unknowns, choice.equations, prepared.settings, observer);
    result.verdict = session.report_solve(result.converged());
    result.stop_message = describe_stop(result.outcome, prepared.loaded, choice);
    result.bound_of_variable = bounds_of_variables(session, choice, result.outcome);
    return result;
}
