#include "loaded_model.h"

#include "starting_point.h"
#include "warm_start.h"

LoadedModel::LoadedModel(const ModelOptions& options)
    : session(options.plugin_path, options.model_path), symbols(session) {
    if (!options.start_path.empty()) {
        unknown_start_symbols =
            apply_known_assignments(read_result_values(options.start_path), symbols, session);
    }
    apply_assignments(parse_assignments(options.at), symbols, session, "--at");
}

std::string nonzero_symbol(const LoadedModel& loaded, int nonzero_number) {
    const int variable = loaded.session.nonzero(nonzero_number).variable;
    if (variable == 0) {
        return "(none: " + loaded.session.entry_symbol(nonzero_number) + ")";
    }
    return loaded.symbols.symbol(variable);
}
