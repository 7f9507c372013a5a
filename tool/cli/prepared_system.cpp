#include "prepared_system.h"

#include "text_table.h"
#include "usage_error.h"

namespace {

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

SystemChoice choice_for(LoadedModel& loaded, const SystemOptions& options,
                        const std::vector<Assignment>& varied, std::ostream& err) {
    const ModelFileScan& scan = loaded.file();
    // The command line's own faults first, then the model's, then the counts.
    SystemChoice choice =
        choose_system(loaded, scan, parse_assignments(options.fix), varied, options.free);
    screen_model(loaded.session, scan, options.force, err);
    warn_about_start(loaded, options.model.start_path, err);
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

}  // namespace

PreparedSystem::PreparedSystem(const SystemOptions& options, const CommandContext& context,
                               const std::vector<Assignment>& varied, std::ostream& err)
    : loaded(load_model(options.model, context, ScanTexts::names_only)),
      choice(choice_for(loaded, options, varied, err)),
      settings(solver_settings(options)) {}
